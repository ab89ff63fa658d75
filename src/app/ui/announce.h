// Telling the user something while the window may be hidden: the desktop's notification where it
// has a service that answers, the tray's message where not, nothing where neither exists. Never a box, which
// would take the focus at any hour.
#pragma once

#include "platform/desktop_notifier.h"

class TTrayNotifyIcon;

// `notifier` and `tray` may be null. The tray's message has no buttons, so `onAction` then never
// runs, and it shows `trayBody` where one is given, to say what to do instead. A service that
// refuses the notification or does not answer in time gets the tray's message a few seconds late.
void Announce(DesktopNotifier* notifier, TTrayNotifyIcon* tray, const DesktopNotifier::Notification& notification,
              DesktopNotifier::OnAction onAction = {}, const std::string& trayBody = {});

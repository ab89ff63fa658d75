// Work a worker thread hands back to the window: the worker only says that it is done, and the
// window's own thread does the rest, so the window never has to look again and again.
#pragma once

#include <functional>

class QObject;

// A function that any thread may call, any number of times: each call runs `action` soon on
// `receiver`'s thread. Once the receiver is gone, calls do nothing, and none that was waiting runs.
std::function<void()> CallOnUiThread(QObject* receiver, std::function<void()> action);

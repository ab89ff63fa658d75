// UrlLauncher that records what it was asked to open.
#pragma once

#include "platform/url_launcher.h"

#include <string>
#include <vector>

class FakeUrlLauncher final : public UrlLauncher
{
public:
    bool OpenInBrowser(const std::string& address) override
    {
        browsed.push_back(address);
        return browserWorks;
    }
    bool OpenMail(const std::string& address) override
    {
        mailed.push_back(address);
        return true;
    }

    std::vector<std::string> browsed;
    std::vector<std::string> mailed;
    bool browserWorks = true;
};

// The host side of krv-host: answers the effect as a real host does and tells the user
// (and tests) about edits and automation on stdout.
#pragma once

#include <cstdio>

#include "hosting/Host.h"
#include "platform/HostWindow.h"

class StandaloneHost : public Host {
public:
    explicit StandaloneHost(FILE* log) : log(log) {}

    VstIntPtr answer(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                     float opt) override;

    // The window that "sizeWindow" resizes; none until it exists.
    void setWindow(platform::HostWindow* hostWindow) { window = hostWindow; }

private:
    FILE* log;
    platform::HostWindow* window = nullptr;
};

#include "x11_desk.h"

XvfbServer* X11Desk::server = nullptr;
std::string X11Desk::serverError;

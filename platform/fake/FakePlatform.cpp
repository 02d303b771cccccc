// Test implementation of platform/*.h: records each call for the tests to inspect.
#include "platform/fake/FakePlatform.h"

#include "platform/Window.h"

namespace q60::fake {

std::vector<std::string>& callLog()
{
    static std::vector<std::string> log;
    return log;
}

}  // namespace q60::fake

namespace q60 {

void repaintNow(WindowHandle window)
{
    fake::callLog().push_back(window == nullptr ? "repaintNow null" : "repaintNow");
}

}  // namespace q60

#pragma once

#include <stdexcept>
#include <string>

namespace KelvaneRender
{
/** A problem that stops one command or one file: its message is the one line the user sees,
    naming the file or setting at fault. */
class RenderError : public std::runtime_error
{
public:
    explicit RenderError (const std::string& message) : std::runtime_error (message) {}
};

} // namespace KelvaneRender

#include "about/VersionInfo.h"

#include <iomanip>
#include <sstream>

namespace velka {

std::string BuildVersionLabel(int major, int minor, int revision)
{
    std::ostringstream label;
    label << "Version:" << major << '.' << std::setfill('0') << std::setw(2) << minor << '.'
          << std::setw(4) << revision;
    return label.str();
}

std::string CreditsText()
{
    std::string text;
    for (std::string_view line : kCreditLines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

} // namespace velka

#include "texts/AppValues.h"

namespace velomira {

std::string VersionNumber()
{
    return VELOMIRA_VERSION;
}

std::string VersionText()
{
    return "VELOMIRA6 v." + VersionNumber();
}

} // namespace velomira

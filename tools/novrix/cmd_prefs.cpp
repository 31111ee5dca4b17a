// novrix prefs: printing preferences (being built).
#include <cstdio>

#include "commands.h"

namespace novrix {

int CmdPrefs(const Options&, const std::vector<std::string>&) {
    fprintf(stderr, "novrix prefs: not available yet\n");
    return kExitFailed;
}

}  // namespace novrix

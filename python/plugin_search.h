#pragma once

#include <string>

// The plug-in the module loads when load() names none, found from the
// module's own file as the tool finds it from its own: libquillon.so beside
// the module, else in bin/ beside the module's folder (a build, where the
// module lands in <build>/python and the plug-in in <build>/bin), else in the
// installation's lib/ folder. Answers the first path when none exists, for
// the message.
std::string module_plugin_path();

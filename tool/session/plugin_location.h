#pragma once

#include <string>

// Where the plug-in is when --plugin does not say: libquillon.so in the
// tool's own folder (a build), else ../lib/libquillon.so beside it (an
// installation). Answers the first path when neither exists, for the message.
std::string default_plugin_path();

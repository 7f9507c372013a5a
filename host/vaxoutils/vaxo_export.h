#pragma once

// Symbols of the host libraries that a plug-in links against. The plug-ins
// build with hidden visibility, so the host's classes must say they are public.
#define VAXO_API __attribute__((visibility("default")))

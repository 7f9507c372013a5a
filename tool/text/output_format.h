#pragma once

// How a command writes its result on stdout.
enum class OutputFormat { text, json, csv };

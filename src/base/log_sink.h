// Where the portable rules send their setup-log lines. The rules build each line's text themselves (fixed
// English text plus data) and hand it over without a line end; setup.exe connects this to its log writer as
// WriteSetupLog("%s", line.c_str()), so data never reaches the writer as a format. An empty sink drops the
// lines.
#pragma once

#include <functional>
#include <string>

namespace zs {

using LogSink = std::function<void(const std::string& line)>;

// Sends one line to the sink when there is one.
inline void Log(const LogSink& sink, const std::string& line) {
    if (sink) sink(line);
}

}  // namespace zs

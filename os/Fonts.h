#pragma once

#include <thread>

namespace qel::os {

// Reads the system's font configuration on a thread of its own while the program connects to the
// display. The first window cannot be built before its captions are measured, and reading that
// configuration (some sixty files on a Debian desktop) took a third of the time the login window
// took to build. Wait() before the first text is measured: two readers at once would each read it
// whole. Where the system has no such configuration, nothing runs.
class FontConfigurationReader
{
public:
    FontConfigurationReader();
    FontConfigurationReader(const FontConfigurationReader&) = delete;
    FontConfigurationReader& operator=(const FontConfigurationReader&) = delete;

    void Wait();

private:
    std::jthread m_reader;
};

} // namespace qel::os

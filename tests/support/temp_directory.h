// A fresh folder under the temporary directory, removed with everything in it at the end, and
// a whole file read.
#pragma once

#include <string>

class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    // The folder, ending with "\".
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

std::string ReadWholeFile(const std::string& path);

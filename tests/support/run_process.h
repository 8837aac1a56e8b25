// Runs a program, capturing its exit status, standard output and standard error.
#pragma once

#include <string>
#include <vector>

struct ProcessResult {
    int status = -1;  // exit status, or -1 if it did not exit normally
    std::string out, err;
};

// `unsetEnv` names variables removed from the child's environment.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& unsetEnv = {},
                         const std::string& workDir = "");

// A fresh empty folder under the system's temporary folder.
std::string MakeTempDir(const std::string& tag);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& text);

// The full path of a program on PATH, or "".
std::string Which(const std::string& name);
// How often `what` occurs in `text`.
int Count(const std::string& text, const std::string& what);

// Sets an environment variable for its lifetime and then puts back what was
// there: how tests and benchmarks choose settings the program reads from its
// environment (VELMOR_THREADS, VELMOR_PARALLEL_MIN_PIXELS) when it makes a
// device.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace platform {

class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (old_)
            setenv(name_.c_str(), old_->c_str(), 1);
        else
            unsetenv(name_.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    std::string name_;
    std::optional<std::string> old_;
};

}  // namespace platform

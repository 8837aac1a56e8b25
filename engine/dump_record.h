/// @file
/// The record an entity's Dump fills for the entity dump, and the JSON text
/// of its values.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

/// The fields of one entity, in the order first set; setting a key again
/// replaces its value in place (a derived class renames "class", say).
class DumpRecord {
  public:
    void Set(const std::string& key, double value);
    void Set(const std::string& key, float value);
    void Set(const std::string& key, int value);
    void Set(const std::string& key, std::int64_t value);
    void Set(const std::string& key, bool value);
    void Set(const std::string& key, const char* value);
    void Set(const std::string& key, const std::string& value);
    /// A JSON array of numbers.
    void Set(const std::string& key, const std::vector<float>& values);
    std::string Json() const;

  private:
    void SetRaw(const std::string& key, std::string json);
    std::vector<std::pair<std::string, std::string>> fields_;
};

std::string JsonString(const std::string& text);
std::string JsonNumber(float value);

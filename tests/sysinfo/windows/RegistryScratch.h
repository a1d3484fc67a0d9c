#pragma once

#include <string>
#include <vector>
#include <windows.h>

// Changes machine-wide registry values for one test and puts everything back afterwards:
// values that were there are restored, values that were not are deleted, and keys it had to
// create are removed with everything below them.
class RegistryScratch {
public:
    RegistryScratch() = default;
    RegistryScratch(const RegistryScratch &) = delete;
    RegistryScratch &operator=(const RegistryScratch &) = delete;
    ~RegistryScratch();

    void setValue(const std::string &key, const std::string &name, DWORD type,
                  const std::string &data);
    void removeValue(const std::string &key, const std::string &name);
    void createKey(const std::string &key);
    // True when the key was made by this scratch and so could be removed.
    bool removeCreatedKey(const std::string &key);

private:
    struct SavedValue {
        std::string key;
        std::string name;
        bool existed = false;
        DWORD type = 0;
        std::string data;
    };

    void save(const std::string &key, const std::string &name);
    HKEY open(const std::string &key, REGSAM access);

    std::vector<SavedValue> saved;
    std::vector<std::string> createdKeys;
};

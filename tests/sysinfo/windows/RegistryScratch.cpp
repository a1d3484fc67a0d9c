#include "tests/sysinfo/windows/RegistryScratch.h"

#include <algorithm>
#include <stdexcept>

namespace {
void check(LONG result, const std::string &what)
{
    if (result != ERROR_SUCCESS)
        throw std::runtime_error(what + " failed with error " + std::to_string(result));
}
} // namespace

RegistryScratch::~RegistryScratch()
{
    for (auto value = saved.rbegin(); value != saved.rend(); ++value) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, value->key.c_str(), 0, KEY_SET_VALUE, &key) != 0)
            continue;
        if (value->existed)
            RegSetValueExA(key, value->name.c_str(), 0, value->type,
                           reinterpret_cast<const BYTE *>(value->data.data()),
                           DWORD(value->data.size()));
        else
            RegDeleteValueA(key, value->name.c_str());
        RegCloseKey(key);
    }
    // Given a subkey, RegDeleteTreeA removes the key itself with everything below it.
    for (auto key = createdKeys.rbegin(); key != createdKeys.rend(); ++key)
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, key->c_str());
}

HKEY RegistryScratch::open(const std::string &key, REGSAM access)
{
    HKEY handle = nullptr;
    DWORD disposition = 0;
    check(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, access, nullptr, &handle,
                          &disposition),
          "RegCreateKeyExA " + key);
    if (disposition == REG_CREATED_NEW_KEY)
        createdKeys.push_back(key);
    return handle;
}

void RegistryScratch::save(const std::string &key, const std::string &name)
{
    const auto same = [&](const SavedValue &value) {
        return value.key == key && value.name == name;
    };
    if (std::any_of(saved.begin(), saved.end(), same))
        return;
    SavedValue value{key, name, false, 0, {}};
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE, &handle) == 0) {
        DWORD size = 0;
        if (RegQueryValueExA(handle, name.c_str(), nullptr, &value.type, nullptr, &size) == 0) {
            value.data.resize(size);
            value.existed =
                RegQueryValueExA(handle, name.c_str(), nullptr, &value.type,
                                 reinterpret_cast<BYTE *>(value.data.data()), &size) == 0;
            value.data.resize(size);
        }
        RegCloseKey(handle);
    }
    saved.push_back(value);
}

void RegistryScratch::setValue(const std::string &key, const std::string &name, DWORD type,
                               const std::string &data)
{
    save(key, name);
    HKEY handle = open(key, KEY_SET_VALUE);
    const LONG result =
        RegSetValueExA(handle, name.c_str(), 0, type, reinterpret_cast<const BYTE *>(data.data()),
                       DWORD(data.size()));
    RegCloseKey(handle);
    check(result, "RegSetValueExA " + name);
}

void RegistryScratch::removeValue(const std::string &key, const std::string &name)
{
    save(key, name);
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_SET_VALUE, &handle) != 0)
        return;
    RegDeleteValueA(handle, name.c_str());
    RegCloseKey(handle);
}

void RegistryScratch::createKey(const std::string &key)
{
    RegCloseKey(open(key, KEY_READ));
}

bool RegistryScratch::removeCreatedKey(const std::string &key)
{
    const auto created = std::find(createdKeys.begin(), createdKeys.end(), key);
    if (created == createdKeys.end())
        return false;
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str());
    createdKeys.erase(created);
    return true;
}

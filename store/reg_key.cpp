// The registry key holder through which every read and write of the launcher's store goes.
//
// Reads are defensive: whatever another program or an older copy left in a value, a read never
// hands back bytes that were not stored, and text is always terminated.
#include "store/reg_key.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "common/text_cut.h"

RegKey::RegKey(const char* base, const char* sub, bool openExisting)
{
    char path[MAX_PATH];
    if (sub && *sub)
        snprintf(path, sizeof path, "%s\\%s", base, sub);
    else
        snprintf(path, sizeof path, "%s", base);
    Open(HKEY_CURRENT_USER, path, openExisting);
}

HKEY RegKey::Open(HKEY root, const char* path, bool openExisting)
{
    Close();
    HKEY key = nullptr;
    LONG rc;
    if (openExisting)
        rc = RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key);
    else
        rc = RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                             nullptr, &key, nullptr);
    key_ = rc == ERROR_SUCCESS ? key : nullptr;
    return key_;
}

void RegKey::Close()
{
    if (key_) {
        RegCloseKey(key_);
        key_ = nullptr;
    }
}

bool RegKey::WriteString(const char* name, const char* text, bool emptyIfNull)
{
    if (!text) {
        if (!emptyIfNull)
            return false;
        text = "";
    }
    if (!key_)
        return false;
    return RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(strlen(text) + 1)) == ERROR_SUCCESS;
}

bool RegKey::WriteDword(const char* name, DWORD value)
{
    if (!key_)
        return false;
    return RegSetValueExA(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof value) == ERROR_SUCCESS;
}

bool RegKey::WriteBinary(const char* name, const void* data, DWORD size)
{
    if (!key_)
        return false;
    return RegSetValueExA(key_, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size) ==
           ERROR_SUCCESS;
}

int RegKey::ReadString(const char* name, char* buffer, int capacity)
{
    if (buffer && capacity > 0)
        buffer[0] = '\0';
    if (!key_)
        return 0;
    DWORD size = 0;
    if (RegQueryValueExA(key_, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS ||
        size == 0)
        return 0;
    // One byte more than stored, zeroed, so that text stored without its NUL (or a value of
    // another type) still ends inside the allocation.
    char* data = static_cast<char*>(calloc(size + 1, 1));
    if (!data)
        return 0;
    DWORD got = size;
    int result = 0;
    if (RegQueryValueExA(key_, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &got) ==
            ERROR_SUCCESS &&
        got <= size) {
        if (buffer && capacity > 0) {
            result = CopyWholeCharacters(buffer, capacity, data);
        } else if (!buffer) {
            result = static_cast<int>(size);
        }
    }
    free(data);
    return result;
}

DWORD RegKey::ReadDword(const char* name)
{
    if (!key_)
        return 0;
    DWORD size = 0;
    if (RegQueryValueExA(key_, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS ||
        size > sizeof(DWORD))
        return 0;
    // A value stored in fewer than four bytes is taken as those bytes, zero-extended.
    BYTE bytes[sizeof(DWORD)] = {};
    DWORD got = sizeof bytes;
    if (RegQueryValueExA(key_, name, nullptr, nullptr, bytes, &got) != ERROR_SUCCESS)
        return 0;
    DWORD value = 0;
    for (DWORD i = 0; i < got && i < sizeof bytes; ++i)
        value |= static_cast<DWORD>(bytes[i]) << (8 * i);
    return value;
}

bool RegKey::ReadBinary(const char* name, void* buffer, DWORD size)
{
    if (!key_)
        return false;
    DWORD stored = 0;
    if (RegQueryValueExA(key_, name, nullptr, nullptr, nullptr, &stored) != ERROR_SUCCESS ||
        stored != size)
        return false;
    DWORD got = size;
    return RegQueryValueExA(key_, name, nullptr, nullptr, static_cast<BYTE*>(buffer), &got) ==
               ERROR_SUCCESS &&
           got == size;
}

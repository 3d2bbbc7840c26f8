// One open key under HKEY_CURRENT_USER, closed when the holder leaves its scope.
#pragma once
#include <windows.h>

class RegKey {
public:
    // Opens "base\sub" (or base alone when sub is null or empty). Unless openExisting is set,
    // the key is created when it does not exist yet.
    RegKey(const char* base, const char* sub, bool openExisting);
    ~RegKey() { Close(); }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    HKEY Open(HKEY root, const char* path, bool openExisting);
    void Close();
    HKEY Handle() const { return key_; }

    bool WriteString(const char* name, const char* text, bool emptyIfNull);
    bool WriteDword(const char* name, DWORD value);
    bool WriteBinary(const char* name, const void* data, DWORD size);

    // Copies at most capacity - 1 bytes of the stored text plus a NUL and returns the length
    // copied; 0 when the value is missing, empty or unreadable. Without a buffer it returns
    // the stored size.
    int ReadString(const char* name, char* buffer, int capacity);
    // The stored 32-bit value; 0 when missing or stored in more than 4 bytes.
    DWORD ReadDword(const char* name);
    // Succeeds only when the stored value has exactly size bytes.
    bool ReadBinary(const char* name, void* buffer, DWORD size);

private:
    HKEY key_ = nullptr;
};

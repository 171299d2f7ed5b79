// The per-user registry: the few Win32 registry calls the game makes, kept in
// a readable text file under the user's configuration directory
// ($XDG_CONFIG_HOME, else ~/.config) as Quandrel3D/settings.reg.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "platform/win_types.h"

// ---- types and constants --------------------------------------------------

typedef DWORD REGSAM;
typedef struct _SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;

#define HKEY_CURRENT_USER ((HKEY)(UINT_PTR)(INT_PTR)((LONG)0x80000001))

#define KEY_QUERY_VALUE 0x0001u
#define KEY_SET_VALUE 0x0002u
#define KEY_CREATE_SUB_KEY 0x0004u
#define KEY_ENUMERATE_SUB_KEYS 0x0008u
#define KEY_NOTIFY 0x0010u
#define KEY_READ 0x20019u
#define KEY_WRITE 0x20006u

#define REG_NONE 0u
#define REG_SZ 1u
#define REG_DWORD 4u

#define REG_OPTION_NON_VOLATILE 0x00000000u
#define REG_CREATED_NEW_KEY 0x00000001u
#define REG_OPENED_EXISTING_KEY 0x00000002u

#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_MORE_DATA 234L
#define ERROR_CANTWRITE 1013L

// ---- functions ------------------------------------------------------------

// Opens an existing key; fails with ERROR_FILE_NOT_FOUND when it is not stored.
LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                   PHKEY phkResult);
// Opens a key for writing, making it when it does not exist yet.
LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass, DWORD dwOptions,
                     REGSAM samDesired, LPSECURITY_ATTRIBUTES lpSecurityAttributes,
                     PHKEY phkResult, LPDWORD lpdwDisposition);
// Reads one value: its type and its bytes (text with its terminator).
LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                      LPBYTE lpData, LPDWORD lpcbData);
// Sets one value of type REG_DWORD or REG_SZ.
LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType,
                    const BYTE* lpData, DWORD cbData);
// Closes the key; a key opened for writing stores its changes now.
LONG RegCloseKey(HKEY hKey);

namespace platform {

// One stored value: a 32-bit number or a text.
struct RegValue {
  DWORD type = REG_NONE;
  DWORD number = 0;
  std::string text;
  bool operator==(const RegValue&) const = default;
};

// Case-insensitive ordering, as key and value names are in the registry.
struct RegNameLess {
  bool operator()(const std::string& a, const std::string& b) const;
};

using RegKeyValues = std::map<std::string, RegValue, RegNameLess>;
using RegStore = std::map<std::string, RegKeyValues, RegNameLess>;

// Reads the bytes of a store file, UTF-8 or UTF-16 little-endian with its
// byte-order mark, into the store. A line that cannot be understood is
// skipped, with the values of a key that cannot be; returns false when
// anything was skipped.
bool ParseRegStore(std::string_view bytes, RegStore& store);
// The text of a store file, which ParseRegStore reads back unchanged.
std::string FormatRegStore(const RegStore& store);
// Full path of the store file.
std::string RegStorePath();

}  // namespace platform

namespace platform_test {
// Uses the directory in place of $XDG_CONFIG_HOME, so that the store is
// <directory>/Quandrel3D/settings.reg; an empty path restores the normal place.
void SetConfigHome(const std::string& directory);
// While set, the store reads as this one, without touching the disk (null:
// the file again).
void SetStoreContents(const platform::RegStore* pStore);
}  // namespace platform_test

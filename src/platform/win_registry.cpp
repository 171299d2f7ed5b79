// The registry on Linux: one text file in the style of a registry export,
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Quandrel3D]
//   "KeyLeft"=dword:00000047
//   "HighScoreFile"="/home/player/.local/share/Quandrel3D/Quandrel3DHiScores"
//
// read when a key is opened and replaced as a whole when a key that was
// written is closed. A copy exported by the registry editor (UTF-16) reads
// as well, and a line that cannot be understood is skipped, not the file.

#include "platform/win_registry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <set>
#include <string_view>
#include <utility>

#include "platform/win_files.h"

// ---- types ----------------------------------------------------------------

namespace {

// What an HKEY stands for: one key of the store, with its values as read
// when it was opened and as changed since.
struct OpenKey {
  std::string name;
  bool writable = false;
  bool changed = false;
  platform::RegKeyValues values;
};

}  // namespace

// ---- globals --------------------------------------------------------------

namespace {
std::string s_configHome;
const platform::RegStore* s_pStoreContents = nullptr;
std::set<OpenKey*> s_openKeys;
// A store file larger than this is not a settings file of ours.
constexpr off_t kMaxStoreSize = 1 << 20;
constexpr const char kRoot[] = "HKEY_CURRENT_USER\\";
constexpr const char kHeader[] = "Windows Registry Editor Version 5.00";
}  // namespace

// ---- helpers --------------------------------------------------------------

namespace {

// Lower case in the C locale.
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c; }

// Spaces and tabs at both ends of a line do not count, nor a CR at its end.
std::string_view TrimLine(std::string_view line) {
  size_t b = 0, e = line.size();
  while (b < e && (line[b] == ' ' || line[b] == '\t')) ++b;
  while (e > b && (line[e - 1] == ' ' || line[e - 1] == '\t' || line[e - 1] == '\r')) --e;
  return line.substr(b, e - b);
}

// The first of the characters from pos on, or the end. The library's search
// keeps a large file quick to read even in an unoptimised build.
size_t FindFirstOf(std::string_view s, size_t pos, std::initializer_list<char> chars) {
  size_t n = s.size() - pos;
  for (char c : chars) {
    const void* hit = std::memchr(s.data() + pos, c, n);
    if (hit != nullptr) n = (size_t)(static_cast<const char*>(hit) - (s.data() + pos));
  }
  return pos + n;
}

// Reads a quoted text starting at pos (on the opening quote); pos ends after
// the closing quote. Backslash escapes: \\ \" \n \r.
bool ParseQuoted(std::string_view s, size_t& pos, std::string& out) {
  if (pos >= s.size() || s[pos] != '"') return false;
  out.clear();
  for (++pos; pos < s.size(); ++pos) {
    size_t run = FindFirstOf(s, pos, {'"', '\\', '\0'});
    out.append(s.data() + pos, run - pos);
    pos = run;
    if (pos >= s.size()) break;
    char c = s[pos];
    if (c == '"') {
      ++pos;
      return true;
    }
    if (c == '\0') return false;
    if (++pos >= s.size()) return false;
    switch (s[pos]) {
      case '\\': out += '\\'; break;
      case '"': out += '"'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      default: return false;
    }
  }
  return false;
}

// Appends the quoted form of a text, as ParseQuoted reads it.
void AppendQuoted(std::string& out, std::string_view text) {
  out += '"';
  size_t pos = 0;
  while (pos < text.size()) {
    size_t run = FindFirstOf(text, pos, {'\\', '"', '\n', '\r'});
    out.append(text.data() + pos, run - pos);
    if (run >= text.size()) break;
    switch (text[run]) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      default: out += "\\r"; break;
    }
    pos = run + 1;
  }
  out += '"';
}

// Parses "dword:" followed by one to eight hexadecimal digits.
bool ParseDword(std::string_view s, DWORD& value) {
  if (s.size() < 7 || s.size() > 14 || s.compare(0, 6, "dword:") != 0) return false;
  value = 0;
  for (size_t i = 6; i < s.size(); ++i) {
    char c = AsciiLower(s[i]);
    int digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else
      return false;
    value = (value << 4) | (DWORD)digit;
  }
  return true;
}

// Key names are kept without leading or trailing backslashes.
std::string NormaliseKeyName(LPCSTR lpSubKey) {
  std::string name = lpSubKey != nullptr ? lpSubKey : "";
  while (!name.empty() && name.front() == '\\') name.erase(name.begin());
  while (!name.empty() && name.back() == '\\') name.pop_back();
  return name;
}

// The UTF-8 form of UTF-16 little-endian text, from the byte at start on. A
// unit that cannot be read (half of a pair, a last odd byte) becomes a NUL,
// which no line of a store may hold, so that its line is skipped rather than
// read as something else.
std::string Utf16LeToUtf8(std::string_view bytes, size_t start) {
  // At most three bytes for each unit (a pair of units takes four).
  std::string out((bytes.size() - start) / 2 * 3 + 1, '\0');
  const unsigned char* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t n = bytes.size();
  char* w = out.data();
  size_t i = start;
  while (i + 1 < n) {
    unsigned c = in[i] | (unsigned)in[i + 1] << 8;
    i += 2;
    if (c >= 0xD800 && c < 0xE000) {
      unsigned low = i + 1 < n ? (in[i] | (unsigned)in[i + 1] << 8) : 0;
      if (c < 0xDC00 && low >= 0xDC00 && low < 0xE000) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      } else {
        c = 0;
      }
    }
    if (c < 0x80) {
      *w++ = (char)c;
    } else if (c < 0x800) {
      *w++ = (char)(0xC0 | c >> 6);
      *w++ = (char)(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      *w++ = (char)(0xE0 | c >> 12);
      *w++ = (char)(0x80 | (c >> 6 & 0x3F));
      *w++ = (char)(0x80 | (c & 0x3F));
    } else {
      *w++ = (char)(0xF0 | c >> 18);
      *w++ = (char)(0x80 | (c >> 12 & 0x3F));
      *w++ = (char)(0x80 | (c >> 6 & 0x3F));
      *w++ = (char)(0x80 | (c & 0x3F));
    }
  }
  if (i < n) *w++ = '\0';
  out.resize((size_t)(w - out.data()));
  return out;
}

// How reading the store file went.
enum class StoreRead {
  Missing,   // no file: an empty store
  Whole,     // every line understood
  Partial,   // what could be read; some lines were skipped
  Unusable,  // too large, or not to be read: an empty store
};

// Reads the store file; the file's bytes go to *pBytes when asked for.
StoreRead LoadStore(platform::RegStore& store, std::string* pBytes = nullptr) {
  store.clear();
  // Not blocking on a named pipe put in the file's place.
  int fd = open(platform::RegStorePath().c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return StoreRead::Missing;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxStoreSize) {
    close(fd);
    return StoreRead::Unusable;
  }
  std::string text((size_t)st.st_size, '\0');
  size_t got = 0;
  while (got < text.size()) {
    ssize_t n = read(fd, &text[got], text.size() - got);
    if (n <= 0) break;
    got += (size_t)n;
  }
  close(fd);
  if (got < text.size()) return StoreRead::Unusable;
  bool whole = platform::ParseRegStore(text, store);
  if (pBytes != nullptr) *pBytes = std::move(text);
  return whole ? StoreRead::Whole : StoreRead::Partial;
}

// Writes the changed key into the store file, keeping every other key and
// every value that could be read. A file with lines that could not be read
// is first copied to settings.reg.bad, since rewriting it drops them; a file
// that could not be read at all is moved there. When that cannot be done the
// file stays as it is and nothing is written.
bool SaveKey(const OpenKey& key) {
  platform::RegStore store;
  std::string original;
  StoreRead read = LoadStore(store, &original);
  std::string path = platform::RegStorePath();
  std::string dir = path.substr(0, path.rfind('/'));
  if (!platform::MakeDirectories(dir)) return false;
  std::string bad = path + ".bad";
  if (read == StoreRead::Partial &&
      platform::ReplaceFileContents(bad, original.data(), original.size()) !=
          platform::ReplaceResult::Ok)
    return false;
  if (read == StoreRead::Unusable && rename(path.c_str(), bad.c_str()) != 0) return false;
  store[key.name] = key.values;
  std::string text = platform::FormatRegStore(store);
  return platform::ReplaceFileContents(path, text.data(), text.size()) ==
         platform::ReplaceResult::Ok;
}

// The open key behind a handle, or null for a handle we did not give out.
OpenKey* KeyOf(HKEY hKey) {
  OpenKey* key = reinterpret_cast<OpenKey*>(hKey);
  return s_openKeys.count(key) != 0 ? key : nullptr;
}

}  // namespace

// ---- store file -----------------------------------------------------------

namespace platform {

// ASCII letters compare without regard to case.
bool RegNameLess::operator()(const std::string& a, const std::string& b) const {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    // Lowered here rather than by a call: every look-up of a name comes here.
    unsigned char ca = (unsigned char)a[i], cb = (unsigned char)b[i];
    if (ca >= 'A' && ca <= 'Z') ca = (unsigned char)(ca - 'A' + 'a');
    if (cb >= 'A' && cb <= 'Z') cb = (unsigned char)(cb - 'A' + 'a');
    if (ca != cb) return ca < cb;
  }
  return a.size() < b.size();
}

// Line by line: an optional header, comments, [key] lines and value lines.
// A line that cannot be understood is skipped, and so are the values of a
// key that cannot be; the rest is read.
bool ParseRegStore(std::string_view bytes, RegStore& store) {
  store.clear();
  // The registry editor exports UTF-16 with a byte-order mark; a UTF-8 mark
  // from an editor is harmless.
  std::string utf8;
  std::string_view text = bytes;
  if (bytes.substr(0, 2) == "\xFF\xFE") {
    utf8 = Utf16LeToUtf8(bytes, 2);
    text = utf8;
  } else if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    text.remove_prefix(3);
  }
  bool whole = true;
  bool seenContent = false;
  RegKeyValues* current = nullptr;
  std::string name, data;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = TrimLine(text.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line[0] == ';') continue;
    if (!seenContent) {
      seenContent = true;
      if (line == kHeader || line == "REGEDIT4") continue;
    }
    if (line.find('\0') != std::string_view::npos) {
      whole = false;
      continue;
    }
    if (line[0] == '[') {
      size_t rootLen = sizeof(kRoot) - 1;
      if (line.back() != ']' || line.size() < rootLen + 2 ||
          !std::equal(kRoot, kRoot + rootLen, line.begin() + 1,
                      [](char a, char b) { return AsciiLower(a) == AsciiLower(b); })) {
        whole = false;
        current = nullptr;
        continue;
      }
      current = &store[std::string(line.substr(1 + rootLen, line.size() - 2 - rootLen))];
      continue;
    }
    size_t p = 0;
    if (current == nullptr || !ParseQuoted(line, p, name) || p >= line.size() || line[p] != '=') {
      whole = false;
      continue;
    }
    std::string_view rest = line.substr(p + 1);
    DWORD number = 0;
    if (!rest.empty() && rest[0] == '"') {
      size_t q = 0;
      if (!ParseQuoted(rest, q, data) || q != rest.size()) {
        whole = false;
        continue;
      }
      RegValue& value = (*current)[name];
      value.type = REG_SZ;
      value.number = 0;
      value.text = data;
    } else if (ParseDword(rest, number)) {
      RegValue& value = (*current)[name];
      value.type = REG_DWORD;
      value.number = number;
      value.text.clear();
    } else {
      whole = false;
    }
  }
  return whole;
}

// The header, then each key with its values, in name order.
std::string FormatRegStore(const RegStore& store) {
  size_t size = sizeof(kHeader) + 1;
  for (const auto& [keyName, values] : store) {
    size += sizeof(kRoot) + keyName.size() + 4;
    for (const auto& [valueName, value] : values)
      size += 2 * (valueName.size() + value.text.size()) + 24;
  }
  std::string out;
  out.reserve(size);
  out.append(kHeader).append("\n");
  for (const auto& [keyName, values] : store) {
    out.append("\n[").append(kRoot).append(keyName).append("]\n");
    for (const auto& [valueName, value] : values) {
      AppendQuoted(out, valueName);
      out += '=';
      if (value.type == REG_DWORD) {
        char hex[16];
        std::snprintf(hex, sizeof(hex), "dword:%08x", (unsigned)value.number);
        out.append(hex);
      } else {
        AppendQuoted(out, value.text);
      }
      out += '\n';
    }
  }
  return out;
}

// $XDG_CONFIG_HOME/Quandrel3D/settings.reg, else ~/.config/Quandrel3D/settings.reg.
std::string RegStorePath() {
  std::string base = s_configHome;
  if (base.empty()) {
    const char* xdg = getenv("XDG_CONFIG_HOME");
    const char* home = getenv("HOME");
    if (xdg != nullptr && xdg[0] == '/')
      base = xdg;
    else if (home != nullptr && home[0] == '/')
      base = std::string(home) + "/.config";
    else
      base = std::string(".");  // not from the literal: GCC 12 at -O3 warns falsely of overlap
  }
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  return base + "/Quandrel3D/settings.reg";
}

}  // namespace platform

// ---- registry calls -------------------------------------------------------

// Opens a key of the current user from the store as it is on disk; a key the
// store lacks is made (empty and changed) only when asked to create it.
static LONG OpenStoredKey(HKEY hKey, LPCSTR lpSubKey, REGSAM samDesired, bool bCreate,
                          PHKEY phkResult, bool* pbFound) {
  if (phkResult == nullptr) return ERROR_INVALID_PARAMETER;
  *phkResult = nullptr;
  if (hKey != HKEY_CURRENT_USER) return ERROR_INVALID_HANDLE;
  platform::RegStore read;
  if (s_pStoreContents == nullptr) LoadStore(read);
  const platform::RegStore& store = s_pStoreContents != nullptr ? *s_pStoreContents : read;
  std::string name = NormaliseKeyName(lpSubKey);
  auto it = store.find(name);
  *pbFound = it != store.end();
  if (!*pbFound && !bCreate) return ERROR_FILE_NOT_FOUND;
  OpenKey* key = new OpenKey{name, (samDesired & KEY_SET_VALUE) != 0, !*pbFound,
                             *pbFound ? it->second : platform::RegKeyValues()};
  s_openKeys.insert(key);
  *phkResult = reinterpret_cast<HKEY>(key);
  return ERROR_SUCCESS;
}

// Opens an existing key of the current user.
LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult) {
  bool found;
  return OpenStoredKey(hKey, lpSubKey, samDesired, false, phkResult, &found);
}

// Opens or makes a key of the current user.
LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR, DWORD, REGSAM samDesired,
                     LPSECURITY_ATTRIBUTES, PHKEY phkResult, LPDWORD lpdwDisposition) {
  bool found;
  LONG result = OpenStoredKey(hKey, lpSubKey, samDesired, true, phkResult, &found);
  if (result == ERROR_SUCCESS && lpdwDisposition != nullptr)
    *lpdwDisposition = found ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
  return result;
}

// Texts come back with their terminator; a buffer too small gets nothing.
LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData,
                      LPDWORD lpcbData) {
  OpenKey* key = KeyOf(hKey);
  if (key == nullptr) return ERROR_INVALID_HANDLE;
  if (lpData != nullptr && lpcbData == nullptr) return ERROR_INVALID_PARAMETER;
  auto it = key->values.find(lpValueName != nullptr ? lpValueName : "");
  if (it == key->values.end()) return ERROR_FILE_NOT_FOUND;
  const platform::RegValue& value = it->second;
  DWORD size = value.type == REG_DWORD ? 4u : (DWORD)value.text.size() + 1u;
  if (lpType != nullptr) *lpType = value.type;
  if (lpcbData == nullptr) return ERROR_SUCCESS;
  if (lpData == nullptr) {
    *lpcbData = size;
    return ERROR_SUCCESS;
  }
  if (*lpcbData < size) {
    *lpcbData = size;
    return ERROR_MORE_DATA;
  }
  if (value.type == REG_DWORD) {
    for (int i = 0; i < 4; ++i) lpData[i] = (BYTE)(value.number >> (8 * i));
  } else {
    std::memcpy(lpData, value.text.c_str(), size);
  }
  *lpcbData = size;
  return ERROR_SUCCESS;
}

// Only the two types the game uses are kept.
LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData,
                    DWORD cbData) {
  OpenKey* key = KeyOf(hKey);
  if (key == nullptr) return ERROR_INVALID_HANDLE;
  if (!key->writable) return ERROR_ACCESS_DENIED;
  platform::RegValue value;
  value.type = dwType;
  if (dwType == REG_DWORD) {
    if (lpData == nullptr || cbData < 4) return ERROR_INVALID_PARAMETER;
    value.number = (DWORD)lpData[0] | (DWORD)lpData[1] << 8 | (DWORD)lpData[2] << 16 |
                   (DWORD)lpData[3] << 24;
  } else if (dwType == REG_SZ) {
    if (lpData == nullptr && cbData != 0) return ERROR_INVALID_PARAMETER;
    const char* text = reinterpret_cast<const char*>(lpData);
    value.text.assign(text != nullptr ? text : "",
                      text != nullptr ? strnlen(text, cbData) : 0);
  } else {
    return ERROR_INVALID_PARAMETER;
  }
  key->values[lpValueName != nullptr ? lpValueName : ""] = value;
  key->changed = true;
  return ERROR_SUCCESS;
}

// A key with changes is written out as it is closed.
LONG RegCloseKey(HKEY hKey) {
  OpenKey* key = KeyOf(hKey);
  if (key == nullptr) return ERROR_INVALID_HANDLE;
  s_openKeys.erase(key);
  bool ok = !key->changed || SaveKey(*key);
  delete key;
  return ok ? ERROR_SUCCESS : ERROR_CANTWRITE;
}

namespace platform_test {
// Redirects the store.
void SetConfigHome(const std::string& directory) { s_configHome = directory; }
// Reads the store from memory.
void SetStoreContents(const platform::RegStore* pStore) { s_pStoreContents = pStore; }
}  // namespace platform_test

// A test stand-in for mpr.dll: the Windows networking calls the program
// makes, played from a table of connections kept in a file, so that a drive
// "mapped" under Wine shows up in the program's next scan and in the test.
//
// Environment:
//   NEXORA_MPR_STATE   file (LF line ends) of the connections, one "Z:<TAB>\\host\share" a
//                      line (default mpr-connections.txt in the current
//                      directory)
//   NEXORA_MPR_LOG     file each call is appended to, one line with its
//                      arguments and result (no log when unset)
//   NEXORA_MPR_ACCEPT  credentials WNetAddConnection2A accepts, entries
//                      "user|password" or "user|password|flags" separated
//                      by ';', where <null> stands for a null pointer and *
//                      for anything; without flags any flags match (an
//                      entry with flags 9 plays the user answering Windows'
//                      own prompt); unset: all
//   NEXORA_MPR_USER    the logged-on user WNetGetUserA reports (default
//                      "wineuser")
//   NEXORA_MPR_DELAY_MS  how long each WNetAddConnection2A of a drive letter
//                      takes, as for a host that does not answer (default 0)
//   NEXORA_MPR_SHARES  the remote names that exist ("\\host\share", ';'
//                      between them, case ignored); unset: every one does
#include <windows.h>
#include <winnetwk.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

using Table = std::vector<std::pair<std::string, std::string>>;  // letter, remote name

std::string Env(const char* name, const char* fallback) {
  const char* v = std::getenv(name);
  return v != nullptr ? v : fallback;
}

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

Table Load() {
  Table table;
  FILE* f = std::fopen(Env("NEXORA_MPR_STATE", "mpr-connections.txt").c_str(), "rb");
  if (f == nullptr) return table;
  char line[1024];
  while (std::fgets(line, sizeof line, f) != nullptr) {
    std::string s(line);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    const size_t tab = s.find('\t');
    if (tab != std::string::npos) table.emplace_back(s.substr(0, tab), s.substr(tab + 1));
  }
  std::fclose(f);
  return table;
}

void Save(const Table& table) {
  FILE* f = std::fopen(Env("NEXORA_MPR_STATE", "mpr-connections.txt").c_str(), "wb");
  if (f == nullptr) return;
  for (const auto& row : table) std::fprintf(f, "%s\t%s\n", row.first.c_str(), row.second.c_str());
  std::fclose(f);
}

std::string Quoted(const char* s) { return s == nullptr ? "NULL" : "\"" + std::string(s) + "\""; }

void Log(const std::string& line) {
  const char* path = std::getenv("NEXORA_MPR_LOG");
  if (path == nullptr || *path == '\0') return;
  FILE* f = std::fopen(path, "ab");
  if (f == nullptr) return;
  std::fprintf(f, "%s\n", line.c_str());
  std::fclose(f);
}

bool Matches(const std::string& pattern, const char* value) {
  if (pattern == "*") return true;
  if (pattern == "<null>") return value == nullptr;
  return value != nullptr && pattern == value;
}

bool Accepts(const char* user, const char* password, DWORD flags) {
  const char* rule = std::getenv("NEXORA_MPR_ACCEPT");
  if (rule == nullptr) return true;
  std::string rest(rule);
  while (!rest.empty()) {
    const size_t end = rest.find(';');
    const std::string entry = rest.substr(0, end);
    rest = end == std::string::npos ? "" : rest.substr(end + 1);
    const size_t bar = entry.find('|');
    if (bar == std::string::npos) continue;
    const size_t bar2 = entry.find('|', bar + 1);
    const std::string passwordPattern = entry.substr(bar + 1, bar2 == std::string::npos ? std::string::npos : bar2 - bar - 1);
    const bool flagsMatch = bar2 == std::string::npos || entry.substr(bar2 + 1) == std::to_string(flags);
    if (flagsMatch && Matches(entry.substr(0, bar), user) && Matches(passwordPattern, password)) return true;
  }
  return false;
}

bool ShareExists(const std::string& remote) {
  const char* list = std::getenv("NEXORA_MPR_SHARES");
  if (list == nullptr) return true;
  const std::string wanted = Upper(remote);
  std::string rest(list);
  while (!rest.empty()) {
    const size_t end = rest.find(';');
    if (Upper(rest.substr(0, end)) == wanted) return true;
    rest = end == std::string::npos ? "" : rest.substr(end + 1);
  }
  return false;
}

}  // namespace

extern "C" {

__declspec(dllexport) DWORD WINAPI WNetAddConnection2A(LPNETRESOURCEA resource, LPCSTR password, LPCSTR user, DWORD flags) {
  const int delay = std::atoi(Env("NEXORA_MPR_DELAY_MS", "0").c_str());
  if (delay > 0 && resource != nullptr && resource->lpLocalName != nullptr) Sleep(static_cast<DWORD>(delay));
  DWORD result = NO_ERROR;
  std::string local, remote;
  if (resource == nullptr || resource->lpRemoteName == nullptr) {
    result = ERROR_INVALID_PARAMETER;
  } else {
    local = Upper(resource->lpLocalName != nullptr ? resource->lpLocalName : "");
    remote = resource->lpRemoteName;
    Table table = Load();
    bool used = false;
    for (const auto& row : table) used = used || (!local.empty() && row.first == local);
    if (used) {
      result = ERROR_ALREADY_ASSIGNED;
    } else if (!ShareExists(remote)) {
      result = ERROR_BAD_NET_NAME;
    } else if (!Accepts(user, password, flags)) {
      result = ERROR_LOGON_FAILURE;
    } else if (!local.empty()) {
      table.emplace_back(local, remote);
      Save(table);
    }
  }
  Log("WNetAddConnection2A type=" + std::to_string(resource ? resource->dwType : 0) +
      " local=" + Quoted(resource ? resource->lpLocalName : nullptr) +
      " remote=" + Quoted(resource ? resource->lpRemoteName : nullptr) +
      " provider=" + Quoted(resource ? resource->lpProvider : nullptr) + " password=" + Quoted(password) +
      " user=" + Quoted(user) + " flags=" + std::to_string(flags) + " -> " + std::to_string(result));
  return result;
}

__declspec(dllexport) DWORD WINAPI WNetCancelConnection2A(LPCSTR name, DWORD flags, BOOL force) {
  DWORD result = ERROR_NOT_CONNECTED;
  if (name != nullptr) {
    const std::string key = Upper(name);
    Table table = Load();
    for (auto it = table.begin(); it != table.end(); ++it) {
      if (it->first == key || it->second == name) {
        table.erase(it);
        Save(table);
        result = NO_ERROR;
        break;
      }
    }
  }
  Log("WNetCancelConnection2A name=" + Quoted(name) + " flags=" + std::to_string(flags) +
      " force=" + std::to_string(force) + " -> " + std::to_string(result));
  return result;
}

__declspec(dllexport) DWORD WINAPI WNetGetConnectionA(LPCSTR local, LPSTR remote, LPDWORD length) {
  DWORD result = ERROR_NOT_CONNECTED;
  if (local == nullptr || length == nullptr) {
    result = ERROR_INVALID_PARAMETER;
  } else {
    const std::string key = Upper(local);
    for (const auto& row : Load()) {
      if (row.first != key) continue;
      const DWORD need = static_cast<DWORD>(row.second.size() + 1);
      if (remote == nullptr || *length < need) {
        *length = need;
        result = ERROR_MORE_DATA;
      } else {
        std::memcpy(remote, row.second.c_str(), need);
        result = NO_ERROR;
      }
      break;
    }
  }
  Log("WNetGetConnectionA local=" + Quoted(local) + " -> " + std::to_string(result));
  return result;
}

__declspec(dllexport) DWORD WINAPI WNetGetUserA(LPCSTR name, LPSTR user, LPDWORD length) {
  const std::string me = Env("NEXORA_MPR_USER", "wineuser");
  DWORD result = NO_ERROR;
  if (length == nullptr) {
    result = ERROR_INVALID_PARAMETER;
  } else if (user == nullptr || *length < me.size() + 1) {
    *length = static_cast<DWORD>(me.size() + 1);
    result = ERROR_MORE_DATA;
  } else {
    std::memcpy(user, me.c_str(), me.size() + 1);
  }
  Log("WNetGetUserA name=" + Quoted(name) + " -> " + std::to_string(result));
  return result;
}

}  // extern "C"

#pragma once

#include <string>

namespace e2e {

// What SHGetFolderPathW(CSIDL_DESKTOP) reports right now; empty on failure.
std::wstring DesktopFolder();
// The user's Downloads known folder; empty on failure.
std::wstring DownloadsFolder();
std::wstring UserProfileFolder();

// The same folder spelled through Wine's Z: drive, the Unix root, as a program started through a
// mapped drive would see another spelling of it; empty (with the reason in *error) on failure.
std::wstring ThroughUnixRoot(const std::wstring& folder, std::string* error);

// Creates folder and any missing parents; true when it exists afterwards.
bool CreateFolderTree(const std::wstring& folder);
bool FolderExists(const std::wstring& folder);
bool FileExists(const std::wstring& path);
// True when path is a reparse point (a symlink into the host's home, in a fresh Wine prefix).
bool IsReparsePoint(const std::wstring& path);

// Copies C:\tavro-e2e\Tavro.exe to folder\fileName as a user's download would land there;
// returns the full path, or an empty string (with the reason in *error) on failure.
std::wstring InstallTavro(const std::wstring& folder, const std::wstring& fileName, std::string* error);
std::wstring InstallCopy(const std::wstring& source,
                         const std::wstring& folder,
                         const std::wstring& fileName,
                         std::string* error);

// Points the current user's desktop at another folder for the lifetime of the object, through
// both registry keys the shell reads, and puts the previous values back afterwards.
class DesktopRedirect {
  public:
    explicit DesktopRedirect(const std::wstring& folder);
    DesktopRedirect(const DesktopRedirect&) = delete;
    DesktopRedirect& operator=(const DesktopRedirect&) = delete;
    ~DesktopRedirect();

    bool Applied() const { return applied_; }
    const std::string& Error() const { return error_; }

  private:
    struct Saved {
        bool present = false;
        unsigned long type = 0;
        std::wstring value;
    };
    Saved userShellFolders_;
    Saved shellFolders_;
    bool applied_ = false;
    std::string error_;
};

}  // namespace e2e

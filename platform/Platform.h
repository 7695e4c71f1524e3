#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>

namespace tavro {

// The longest path the classic shell folder calls write, terminator included.
inline constexpr std::size_t kMaxPath = 260;
using PathBuffer = std::array<wchar_t, kMaxPath>;

// The two message box looks the program uses; the values are MessageBox styles.
enum class MessageStyle : unsigned {
    Plain = 0x00,        // OK button, no icon
    Exclamation = 0x30,  // OK button, exclamation icon
};

// What the launcher asks of the system. The Win32 implementation lives beside this file;
// the unit tests use a fake that records what the user would have seen.
class Platform {
  public:
    Platform() = default;
    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;
    Platform(Platform&&) = delete;
    Platform& operator=(Platform&&) = delete;
    virtual ~Platform() = default;

    // Folder of the running executable, without a trailing separator except at a drive root ("C:\").
    virtual std::wstring ProgramFolder() const = 0;
    // File name the executable was started under, without its extension.
    virtual std::wstring ProgramName() const = 0;
    // Full path of the running executable file, extension and all.
    virtual std::wstring ProgramPath() const = 0;
    // Caption of a message box shown without a title of its own.
    virtual std::wstring ProgramTitle() const = 0;

    // Writes the current user's desktop folder into buffer, NUL-terminated.
    // Returns 0 on success and any other value on failure.
    virtual long QueryDesktopFolder(PathBuffer& buffer) = 0;
    // Hands url to the shell's "open" verb; nothing reports whether a browser came up.
    virtual void OpenUrl(const std::wstring& url) = 0;
    // Copies a file, replacing any file at destination; true when destination now holds the copy.
    // The window keeps answering meanwhile, though it takes no clicks, so the program may be ended
    // before this returns (HasEnded); the copy then gives up and returns false.
    virtual bool CopyFileReplacing(const std::wstring& source, const std::wstring& destination) = 0;
    // Modal message box with one OK button; without a title it bears ProgramTitle().
    virtual void ShowMessage(const std::wstring& prompt,
                             MessageStyle style,
                             const std::optional<std::wstring>& title = std::nullopt) = 0;
    // Ends the program: no handler runs after it. Where this returns, the caller returns at once.
    virtual void EndProgram() = 0;
    // True once EndProgram has run.
    virtual bool HasEnded() const = 0;
};

}  // namespace tavro

#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Platform.h"

namespace tavro::fake {

struct ShownMessage {
    std::wstring prompt;
    MessageStyle style;
    std::wstring title;  // as the user reads it: the program title when none was given
};

struct CopyRequest {
    std::wstring source;
    std::wstring destination;
};

// Stands in for Windows: answers from the fields below and records what the user would see.
// Anything the program does after EndProgram is counted, since nothing may run then.
class FakePlatform final : public Platform {
  public:
    // What the system reports.
    std::wstring programFolder = L"C:\\Users\\hana\\Downloads";
    std::wstring programName = L"Tavro_12345";
    // The running file's own extension: ProgramPath() is the folder, the name and this.
    std::wstring programExtension = L".exe";
    long desktopStatus = 0;
    std::wstring desktopFolder = L"C:\\Users\\hana\\Desktop";
    bool desktopTerminated = true;
    bool copySucceeds = true;
    // The user ends the program (close box, logoff) while the copy is under way: the copy gives up.
    bool endedDuringCopy = false;
    // What reaches the program while the copy runs, or while a message is shown: the window
    // thread keeps handling messages then, so a click can call a handler again from inside.
    std::function<void()> duringCopy;
    std::function<void()> duringMessage;

    // What happened.
    std::vector<std::wstring> openedUrls;
    std::vector<CopyRequest> copies;
    std::vector<ShownMessage> messages;
    bool ended = false;
    int callsAfterEnd = 0;

    std::wstring ProgramFolder() const override { return programFolder; }
    std::wstring ProgramName() const override { return programName; }
    std::wstring ProgramPath() const override {
        const bool rooted = !programFolder.empty() && programFolder.back() == L'\\';
        return programFolder + (rooted ? L"" : L"\\") + programName + programExtension;
    }
    std::wstring ProgramTitle() const override { return L"Tavro"; }

    long QueryDesktopFolder(PathBuffer& buffer) override {
        NoteCall();
        if (desktopStatus != 0) {
            // A failing call may leave anything in the buffer; the caller must not read it.
            buffer.fill(L'X');
            return desktopStatus;
        }
        buffer.fill(desktopTerminated ? L'\0' : L'Y');
        desktopFolder.copy(buffer.data(), std::min(desktopFolder.size(), buffer.size()));
        return 0;
    }

    void OpenUrl(const std::wstring& url) override {
        NoteCall();
        openedUrls.push_back(url);
    }

    bool CopyFileReplacing(const std::wstring& source, const std::wstring& destination) override {
        NoteCall();
        copies.push_back({source, destination});
        if (duringCopy) {
            duringCopy();
        }
        if (endedDuringCopy) {
            EndProgram();
            return false;
        }
        return copySucceeds;
    }

    void ShowMessage(const std::wstring& prompt,
                     MessageStyle style,
                     const std::optional<std::wstring>& title) override {
        NoteCall();
        messages.push_back({prompt, style, title.value_or(ProgramTitle())});
        if (duringMessage) {
            duringMessage();
        }
    }

    void EndProgram() override {
        NoteCall();
        ended = true;
    }

    bool HasEnded() const override { return ended; }

  private:
    void NoteCall() {
        if (ended) {
            ++callsAfterEnd;
        }
    }
};

}  // namespace tavro::fake

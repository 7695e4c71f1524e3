#include "support/FileGrabber.h"

#include <utility>

namespace e2e {

FileGrabber::FileGrabber(std::wstring path, std::chrono::milliseconds holdFor)
    : path_(std::move(path)), holdFor_(holdFor) {
    thread_.reset(CreateThread(nullptr, 0, Run, this, 0, nullptr));
}

FileGrabber::~FileGrabber() {
    if (thread_) {
        stop_ = true;
        WaitForSingleObject(thread_.get(), INFINITE);
    }
}

DWORD WINAPI FileGrabber::Run(void* self) {
    static_cast<FileGrabber*>(self)->Grab();
    return 0;
}

void FileGrabber::Grab() {
    while (!stop_) {
        const tavro::UniqueHandle file(CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            continue;  // not there yet: ask again at once, the file may live only a few milliseconds
        }
        grabbed_ = true;
        const auto until = std::chrono::steady_clock::now() + holdFor_;
        while (!stop_ && std::chrono::steady_clock::now() < until) {
            Sleep(10);
        }
        return;
    }
}

}  // namespace e2e

#include "Win32Internal.h"
#include "core/RunMode.h"
#include "dshow.h"
#include "support/Process.h"
#include "support/Wav.h"

#include <gtest/gtest.h>
#include <string>

TEST(Win32, KeyStateFollowsTheMessagesTaken) {
    platform::resetMessages();
    EXPECT_EQ(GetKeyState(VK_ESCAPE), 0);
    platform::postMessage(nullptr, WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ(GetKeyState(VK_ESCAPE), 0); // not yet taken from the queue
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(GetKeyState(VK_ESCAPE), 0);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    // Held: both the 0x80 and 0x8000 bits, as the platform sign-extends; first press toggles.
    EXPECT_EQ(static_cast<unsigned short>(GetKeyState(VK_ESCAPE)), 0xFF81);
    platform::postMessage(nullptr, WM_KEYUP, VK_ESCAPE);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(GetKeyState(VK_ESCAPE), 1);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(GetKeyState(-5), 0);
    EXPECT_EQ(GetKeyState(300), 0);
}

TEST(Win32, MessageBoxesWithoutAScreenPrintAndAnswerTheDefault) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(
        MessageBoxA(nullptr, "フルスクリーンで起動しますか？", "質問", MB_YESNO | MB_ICONWARNING),
        IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "ファイル読み込み失敗", "Error", MB_ICONERROR), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "法線", "", MB_OK), IDOK);
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(printed, "質問: フルスクリーンで起動しますか？\nError: ファイル読み込み失敗\n法線\n");

    platform::runMode().fullScreenAnswer = true; // answered in advance on the command line
    EXPECT_EQ(MessageBoxA(nullptr, "?", "質問", MB_YESNO), IDYES);
    EXPECT_EQ(MessageBoxA(nullptr, "x", "Error", MB_ICONERROR), IDOK); // others still print
    platform::runMode().fullScreenAnswer.reset();
}

TEST(Win32, WideConversionIsSizedByTheTextAndNeverOverruns) {
    const char* name = "データ\\曲.mp3";
    const int needed = MultiByteToWideChar(CP_ACP, 0, name, -1, nullptr, 0);
    EXPECT_EQ(needed, 10); // nine characters and the terminator
    WCHAR wide[16];
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, name, -1, wide, 16), needed);
    EXPECT_EQ(wide[0], u'デ');
    EXPECT_EQ(wide[3], u'\\');
    EXPECT_EQ(wide[9], 0);
    WCHAR small[4] = {u'x', u'x', u'x', u'x'};
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, name, -1, small, 4), 0);
    EXPECT_EQ(small[0], u'x');
    const std::string longName(5000, 'a');
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, longName.c_str(), -1, nullptr, 0), 5001);
}

TEST(Win32, WindowClassesNeedTheirRealSize) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = 48; // the 32-bit size: wrong here
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "sized";
    EXPECT_EQ(RegisterClassExA(&windowClass), 0);
    windowClass.cbSize = sizeof windowClass;
    EXPECT_NE(RegisterClassExA(&windowClass), 0);
    EXPECT_EQ(RegisterClassExA(&windowClass), 0); // once only
    EXPECT_EQ(CreateWindowExA(0, "unregistered", "", WS_CAPTION, 0, 0, 400, 300, nullptr, nullptr,
                              nullptr, nullptr),
              nullptr);
}

namespace {

HRESULT render(const std::string& path) {
    CoInitialize(nullptr);
    IGraphBuilder* graph = nullptr;
    HRESULT result = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IGraphBuilder, reinterpret_cast<void**>(&graph));
    if (SUCCEEDED(result)) {
        std::u16string wide(path.begin(), path.end());
        result = graph->RenderFile(reinterpret_cast<LPCWSTR>(wide.c_str()), nullptr);
        IMediaControl* control = nullptr;
        graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control));
        if (control) {
            control->Run();
            control->Stop();
            control->Release();
        }
        graph->Release();
    }
    CoUninitialize();
    return result;
}

} // namespace

TEST(DirectShow, FilesAreRecognisedByContentAndBackslashesAreFolders) {
    const std::string folder = test::makeTempFolder();
    ASSERT_TRUE(test::writeTestTone(folder + "/tone.mp3", 0.2)); // a WAV under an MP3 name
    EXPECT_EQ(render(folder + "/tone.mp3"), S_OK);
    EXPECT_EQ(render(folder + "\\tone.mp3"), S_OK);
    EXPECT_TRUE(FAILED(render(folder + "/missing.mp3")));
    {
        std::FILE* junk = std::fopen((folder + "/junk.mp3").c_str(), "wb");
        std::fputs("this is not music", junk);
        std::fclose(junk);
    }
    EXPECT_TRUE(FAILED(render(folder + "/junk.mp3")));
}

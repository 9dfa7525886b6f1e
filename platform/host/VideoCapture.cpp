#include "VideoCapture.h"

#include "Mp4Trim.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>

namespace host {
namespace {

bool onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "";
    std::size_t at = 0;
    while (at <= folders.size()) {
        const std::size_t end = std::min(folders.find(':', at), folders.size());
        const std::string candidate = folders.substr(at, end - at) + "/" + program;
        if (end > at && access(candidate.c_str(), X_OK) == 0) return true;
        at = end + 1;
    }
    return false;
}

std::string extensionOf(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

// The MP4 family, written in fragments (Matroska is written as it goes anyway).
bool fragmented(const std::string& extension) {
    return extension == ".mp4" || extension == ".mov" || extension == ".m4v";
}

} // namespace

VideoCapture::VideoCapture(std::string path, int fps, int firstFrame, int lastFrame)
    : path_(std::move(path)), fps_(fps), firstFrame_(firstFrame), lastFrame_(lastFrame),
      progress_(lastFrame >= 0 ? lastFrame - firstFrame + 1 : -1, fps) {}

VideoCapture::~VideoCapture() {
    std::string ignored;
    if (encoder_ > 0) finish(ignored);
}

bool VideoCapture::prepare(std::string& error) {
    if (!onPath("ffmpeg")) {
        error = "ffmpeg is not installed; it encodes video captures (or capture frames with "
                "--capture DIR/)";
        return false;
    }
    std::error_code ec;
    const auto folder = std::filesystem::path(path_).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder, ec);
    std::ofstream probe(path_, std::ios::binary);
    if (ec || !probe) {
        error = "cannot write '" + path_ + "': " + (ec ? ec.message() : std::strerror(errno));
        return false;
    }
    probe.close();
    std::filesystem::remove(path_, ec);
    return true;
}

std::vector<std::string> VideoCapture::command(int width, int height) const {
    std::vector<std::string> c = {"ffmpeg",
                                  "-hide_banner",
                                  "-loglevel",
                                  "error",
                                  "-y",
                                  "-f",
                                  "rawvideo",
                                  "-pix_fmt",
                                  "rgb24",
                                  "-video_size",
                                  std::to_string(width) + "x" + std::to_string(height),
                                  "-framerate",
                                  std::to_string(fps_),
                                  "-i",
                                  "pipe:0"};
    const auto& mode = platform::runMode();
    const bool music = mode.musicStartMs.has_value() && !mode.musicFile.empty();
    // Where the music starts relative to the first frame written: later is a delay, earlier
    // skips into the track.
    const double offset = music ? *mode.musicStartMs - firstFrame_ * frameMilliseconds() : 0.0;
    if (music) {
        if (offset < 0) c.insert(c.end(), {"-ss", std::to_string(-offset / 1000.0)});
        c.insert(c.end(), {"-i", mode.musicFile, "-map", "0:v", "-map", "1:a"});
        if (offset > 0) c.insert(c.end(), {"-af", "adelay=" + std::to_string(offset) + ":all=1"});
        c.push_back("-shortest");
    }
    const std::string extension = extensionOf(path_);
    if (extension == ".mp4" || extension == ".mov" || extension == ".m4v" || extension == ".mkv") {
        // The fastest preset leaves the cores to the renderer; at this quality the file is
        // larger, not worse to look at.
        c.insert(c.end(), {"-c:v", "libx264", "-preset", "ultrafast", "-crf", "18", "-pix_fmt",
                           "yuv420p", "-g", std::to_string(fps_)});
        // In fragments of a second each, so that whatever ends the encoder (a full disk, a
        // kill) leaves a file that plays up to its last whole second.
        if (fragmented(extension))
            c.insert(c.end(), {"-movflags", "+frag_keyframe+delay_moov+default_base_moof"});
        // 4:2:0 needs even sides: an odd one gets a black line.
        if (width % 2 || height % 2) c.insert(c.end(), {"-vf", "pad=ceil(iw/2)*2:ceil(ih/2)*2"});
        if (music) c.insert(c.end(), {"-c:a", "aac", "-b:a", "192k"});
    }
    c.push_back(path_);
    return c;
}

bool VideoCapture::start(int width, int height) {
    int ends[2];
    if (pipe(ends) != 0) return false;
    std::signal(SIGPIPE, SIG_IGN); // a dead encoder shows as a failed write
    const std::vector<std::string> arguments = command(width, height);
    // ffmpeg's own words go to a file, so the failure can be told in one line with its reason.
    messages_ = std::tmpfile();
    encoder_ = fork();
    if (encoder_ == 0) {
        setpgid(0, 0); // Ctrl-C reaches us, and we end the encoding cleanly
        dup2(ends[0], 0);
        if (messages_) dup2(fileno(messages_), 2);
        close(ends[0]);
        close(ends[1]);
        std::vector<char*> argv;
        for (const auto& a : arguments)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(ends[0]);
    if (encoder_ < 0) {
        close(ends[1]);
        return false;
    }
    pipe_ = ends[1];
    return true;
}

bool VideoCapture::write(const unsigned char* rgb, std::size_t bytes) {
    while (bytes > 0) {
        const ssize_t n = ::write(pipe_, rgb, bytes);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            broken_ = true;
            return false;
        }
        rgb += n;
        bytes -= static_cast<std::size_t>(n);
    }
    ++written_;
    progress_.frameDone();
    return true;
}

bool VideoCapture::frame(const unsigned char* rgb, int width, int height) {
    const int index = next_++;
    if (index < firstFrame_ || broken_) return !broken_;
    const std::size_t bytes = static_cast<std::size_t>(width) * height * 3;
    if (encoder_ < 0) {
        if (!platform::runMode().musicStartMs && held_.empty()) {
            held_.assign(rgb, rgb + bytes);
            heldWidth_ = width, heldHeight_ = height;
            return lastFrame_ < 0 || index < lastFrame_;
        }
        if (!start(width, height)) return broken_ = true, false;
        if (!held_.empty() && !write(held_.data(), held_.size())) return false;
        held_.clear();
    }
    if (!write(rgb, bytes)) return false;
    return lastFrame_ < 0 || index < lastFrame_;
}

bool VideoCapture::finish(std::string& error) {
    if (encoder_ < 0 && !held_.empty() && start(heldWidth_, heldHeight_))
        write(held_.data(), held_.size());
    held_.clear();
    progress_.finish();
    bool ok = encoder_ > 0;
    if (pipe_ >= 0) close(pipe_);
    pipe_ = -1;
    bool encoderFailed = false;
    if (encoder_ > 0) {
        int status = 0;
        while (waitpid(encoder_, &status, 0) < 0 && errno == EINTR) {
        }
        encoder_ = -1;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            ok = false;
            encoderFailed = !WIFEXITED(status) || WEXITSTATUS(status) != 127;
            error = encoderFailed ? encoderFailure(status) : "ffmpeg could not be started";
        }
    }
    if (messages_) std::fclose(messages_);
    messages_ = nullptr;
    if (ok && written_ == 0) {
        ok = false;
        error = "no frame was captured";
    }
    if (ok) return true;
    if (error.empty()) error = "no frame was captured";
    std::error_code ec;
    // What the encoder finished before it failed plays, so it stays; otherwise nothing is left.
    if (encoderFailed && written_ > 0 && keepWhatPlays())
        error += "; the whole seconds it had encoded are kept";
    else
        std::filesystem::remove(path_, ec);
    return false;
}

bool VideoCapture::keepWhatPlays() const {
    if (fragmented(extensionOf(path_))) return trimToWholeFragments(path_) > 0;
    std::error_code ec;
    return std::filesystem::file_size(path_, ec) > 0 && !ec;
}

// ffmpeg's last message, without its prefixes: the system's reason where it gave one.
std::string VideoCapture::lastEncoderMessage() const {
    if (!messages_) return "";
    std::rewind(messages_);
    std::string last;
    char line[1024];
    while (std::fgets(line, sizeof line, messages_)) {
        std::string text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        if (!text.empty() && text != "Conversion failed!") last = text;
    }
    const auto colon = last.rfind(": ");
    return colon == std::string::npos ? last : last.substr(colon + 2);
}

std::string VideoCapture::encoderFailure(int status) const {
    if (WIFSIGNALED(status))
        return "ffmpeg was ended by signal " + std::to_string(WTERMSIG(status)) +
               " while encoding '" + path_ + "'";
    const std::string reason = lastEncoderMessage();
    return "ffmpeg failed encoding '" + path_ + "'" + (reason.empty() ? "" : ": " + reason);
}

} // namespace host

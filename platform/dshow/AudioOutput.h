#pragma once
// The sound device the music plays on, opened on first use. Without a device the music plays
// silently, so a file still loads and the show keeps its timeline.
namespace dshow {

bool openAudioOutput();
void closeAudioOutput();

} // namespace dshow

#ifndef QORX_TESTS_SUPPORT_DEMOFILES_H
#define QORX_TESTS_SUPPORT_DEMOFILES_H

#include <string>
#include <vector>

// The presentation's files by name: its pictures in the order it shows them,
// and its soundtrack.
const char* const DemoPictures[] = {"stormledge.jpg", "mirk.jpg", "fin.jpg"};
const char* const DemoSoundtrack = "larkspin.mp3";

// Copies the four files from the folder `from` into the folder `to`, but
// those named in `leftOut`.
void copyDemoFiles(const std::string& from, const std::string& to, const std::vector<std::string>& leftOut = {});

#endif

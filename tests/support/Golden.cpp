#include "support/Golden.h"

#include <filesystem>

namespace test {

Golden::Golden(std::string path, int tolerance, int budget)
    : path_(std::move(path)), tolerance_(tolerance), budget_(budget) {}

bool Golden::matches(const Image& frame, const std::string& outputFolder) {
    message_.clear();
    Image golden;
    if (!std::filesystem::exists(path_)) {
        message_ = "no golden picture at " + path_ + " (scripts/bless-goldens makes it)";
        return false;
    }
    if (!loadPng(path_, golden)) {
        message_ = "the golden picture " + path_ + " cannot be read as a PNG";
        return false;
    }
    const std::string name = std::filesystem::path(path_).stem().string();
    const std::string actual = outputFolder + "/" + name + ".actual.png";
    if (golden.width != frame.width || golden.height != frame.height) {
        savePng(actual, frame);
        message_ = "the golden picture " + path_ + " is " + std::to_string(golden.width) + " x " +
                   std::to_string(golden.height) + ", the frame " + std::to_string(frame.width) +
                   " x " + std::to_string(frame.height) + " (frame written to " + actual + ")";
        return false;
    }
    const std::string diff = outputFolder + "/" + name + ".diff.png";
    const int different = compareImages(frame, golden, tolerance_, diff);
    if (different <= budget_) return true;
    savePng(actual, frame);
    message_ = std::to_string(different) + " pixels differ from " + path_ + " by more than " +
               std::to_string(tolerance_) + " (at most " + std::to_string(budget_) +
               " may): the frame is " + actual + ", the differences (red) " + diff;
    return false;
}

} // namespace test

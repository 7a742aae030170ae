#include "device/flash_image.h"

#include <algorithm>

#include "device/frames.h"

namespace k7 {

std::string flashImageOf(const KeyTable& table) {
    std::string image(kImageSize, '\0');
    for (int offset = 0; offset < kImageSize; ++offset) {
        const std::string& output = table[std::size_t(offset / kSlotSize)].output;
        const std::size_t pos = std::size_t(offset % kSlotSize);
        if (pos < output.size()) image[std::size_t(offset)] = output[pos];
    }
    return image;
}

std::vector<PlannedFrame> framePlan(const std::string& image) {
    std::vector<PlannedFrame> plan;
    for (int block = 0; block * kBlockSize < kImageSize; ++block) {
        const int blockEnd = (block + 1) * kBlockSize;
        for (int address = block * kBlockSize; address < blockEnd;) {
            const int end = std::min((address / kSlotSize + 1) * kSlotSize, blockEnd);
            plan.push_back({false, writeFrame(address, image.substr(std::size_t(address), std::size_t(end - address))),
                            end, block});
            address = end;
        }
        plan.push_back({true, flashFrame(), blockEnd, block});
    }
    return plan;
}

}  // namespace k7

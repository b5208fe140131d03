// libFuzzer target: every input goes through the index rebuilder as a recording cut short
// (walked against complete references: two cameras with a data track, and timed-text
// telemetry), and as a reference itself for a real cut recording. The references come
// from the test set (VELOMIRA_FUZZ_DATA). Sanitizers catch any read or write outside a
// buffer; the walk must also stay inside the input and emit samples in file order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "playback/recovery/IndexRebuild.h"

namespace {

std::vector<std::byte> Load(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto* data = reinterpret_cast<const std::byte*>(text.data());
    return { data, data + text.size() };
}

std::vector<std::vector<std::byte>> g_references;
std::vector<std::byte> g_cut;

void Check(const velomira::recovery::RebuiltIndex& index, size_t size)
{
    uint64_t last = 0;
    for (const auto& sample : index.samples) {
        if (sample.offset < last || sample.offset + sample.size > size)
            std::abort();
        last = sample.offset;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const char* data = std::getenv("VELOMIRA_FUZZ_DATA");
    const std::string root = data != nullptr ? data : "build/testdata";
    for (const char* layout : { "two-cameras", "timed-text" })
        g_references.push_back(Load(root + "/cut/" + layout + "/reference.mp4"));
    g_cut = Load(root + "/cut/two-cameras/first-second.mp4");
    if (g_references.front().empty() || g_cut.empty())
        std::abort(); // without the test set there is nothing to walk against
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace velomira::recovery;
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    for (const auto& reference : g_references)
        Check(RebuildIndex(bytes, reference), size);
    Check(RebuildIndex(g_cut, bytes), g_cut.size());
    return 0;
}

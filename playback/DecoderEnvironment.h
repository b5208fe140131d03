#pragma once

namespace velomira {

// The settings the viewer writes at start-up for the media components it uses: the
// video decoder's settings (once, by the application) and the source's setting (at
// every construction of a player). The components they configure do not exist on
// Linux, so the realisation here writes nothing; the seam keeps the start-up order.
class DecoderEnvironment {
public:
    virtual ~DecoderEnvironment() = default;
    virtual void WriteVideoDecoderSettings() = 0;
    virtual void WriteSourceSettings() = 0;
};

class LinuxDecoderEnvironment final : public DecoderEnvironment {
public:
    void WriteVideoDecoderSettings() override { }
    void WriteSourceSettings() override { }
};

} // namespace velomira

#include "replay/ReplayFile.h"

#include <zlib.h>

#include <array>
#include <fstream>
#include <string_view>

namespace {

constexpr std::array<uint8_t, 8> Magic = {'V', 'T', 'X', 'R', 'E', 'P', 'L', 'Y'};
constexpr uint16_t FormatVersion = 1;
// A frame's time step takes at most five bytes, a run of controls one byte and a length of five.
constexpr size_t MaxStepBytes = 5;
constexpr size_t MaxRunBytes = 6;

// Little-endian numbers, length-prefixed texts and 7-bit groups ("varints") onto a growing buffer.
class ByteWriter {
  public:
    explicit ByteWriter(std::vector<uint8_t>& out) : out(out) {}
    void Bytes(std::span<const uint8_t> bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); }
    void Number(uint64_t value, size_t bytes) {
        for (size_t i = 0; i < bytes; ++i, value >>= 8)
            out.push_back(static_cast<uint8_t>(value));
    }
    void Text(const std::string& text) {
        Number(text.size(), 1);
        Bytes(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    }
    void Varint(uint32_t value) {
        while (value >= 0x80) {
            out.push_back(static_cast<uint8_t>(value | 0x80));
            value >>= 7;
        }
        out.push_back(static_cast<uint8_t>(value));
    }

  private:
    std::vector<uint8_t>& out;
};

// The same, read back; every read checks the bytes left first, and the first failure sticks.
class ByteReader {
  public:
    explicit ByteReader(std::span<const uint8_t> bytes) : bytes(bytes) {}
    bool Ok() const { return ok; }
    bool AtEnd() const { return at == bytes.size(); }
    size_t Left() const { return bytes.size() - at; }

    std::span<const uint8_t> Bytes(size_t count) {
        if (!ok || count > Left()) return Fail();
        const auto piece = bytes.subspan(at, count);
        at += count;
        return piece;
    }
    uint64_t Number(size_t count) {
        const auto piece = Bytes(count);
        uint64_t value = 0;
        for (size_t i = piece.size(); i-- > 0;)
            value = value << 8 | piece[i];
        return value;
    }
    std::string Text() {
        const auto length = static_cast<size_t>(Number(1));
        if (length > MaxReplayText) return Fail(), std::string();
        const auto piece = Bytes(length);
        return std::string(piece.begin(), piece.end());
    }
    uint32_t Varint() {
        uint32_t value = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            const auto byte = static_cast<uint8_t>(Number(1));
            if (!ok) return 0;
            // The fifth group holds the top four bits only.
            if (shift == 28 && byte > 0x0F) return Fail(), 0;
            value |= static_cast<uint32_t>(byte & 0x7F) << shift;
            if (!(byte & 0x80)) return value;
        }
        return Fail(), 0;
    }

  private:
    std::span<const uint8_t> Fail() {
        ok = false;
        return {};
    }

    std::span<const uint8_t> bytes;
    size_t at = 0;
    bool ok = true;
};

// The frames before compression: the controls as runs of equal values, then every frame's time step.
std::vector<uint8_t> EncodeFrames(const std::vector<ReplayFrame>& frames) {
    std::vector<uint8_t> payload;
    ByteWriter out(payload);
    std::vector<std::pair<uint8_t, uint32_t>> runs;
    for (const ReplayFrame& frame : frames) {
        if (!runs.empty() && runs.back().first == frame.Controls)
            ++runs.back().second;
        else
            runs.push_back({frame.Controls, 1});
    }
    out.Varint(static_cast<uint32_t>(runs.size()));
    for (const auto& [controls, length] : runs) {
        out.Number(controls, 1);
        out.Varint(length);
    }
    for (const ReplayFrame& frame : frames)
        out.Varint(frame.TimeStep);
    return payload;
}

bool DecodeFrames(std::span<const uint8_t> payload, uint32_t frameCount, std::vector<ReplayFrame>& frames) {
    ByteReader in(payload);
    frames.assign(frameCount, ReplayFrame{});
    const uint32_t runCount = in.Varint();
    if (runCount > frameCount) return false;
    uint32_t filled = 0;
    for (uint32_t run = 0; run < runCount && in.Ok(); ++run) {
        const auto controls = static_cast<uint8_t>(in.Number(1));
        const uint32_t length = in.Varint();
        if (controls > AllFrameInputBits || length == 0 || length > frameCount - filled) return false;
        for (uint32_t i = 0; i < length; ++i)
            frames[filled++].Controls = controls;
    }
    if (filled != frameCount) return false;
    for (ReplayFrame& frame : frames)
        frame.TimeStep = in.Varint();
    return in.Ok() && in.AtEnd();
}

size_t LargestPayload(uint32_t frameCount) {
    return MaxStepBytes * frameCount + MaxRunBytes * frameCount + MaxStepBytes;
}

std::vector<uint8_t> Compress(const std::vector<uint8_t>& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(size);
    if (compress2(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION) !=
        Z_OK)
        return {};
    packed.resize(size);
    return packed;
}

// Inflates into exactly `rawSize` bytes: a stream that ends early, runs longer or leaves input over
// is refused, so a small file can never make a large allocation beyond what its frames need.
bool Decompress(std::span<const uint8_t> packed, size_t rawSize, std::vector<uint8_t>& raw) {
    raw.assign(rawSize, 0);
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return false;
    stream.next_in = const_cast<Bytef*>(packed.data());
    stream.avail_in = static_cast<uInt>(packed.size());
    // One spare byte shows a stream that holds more than it said.
    uint8_t spare = 0;
    stream.next_out = rawSize ? raw.data() : &spare;
    stream.avail_out = static_cast<uInt>(rawSize ? rawSize : 1);
    int status = inflate(&stream, Z_FINISH);
    if (status != Z_STREAM_END && rawSize && stream.avail_out == 0) {
        stream.next_out = &spare;
        stream.avail_out = 1;
        status = inflate(&stream, Z_FINISH);
    }
    const bool whole = status == Z_STREAM_END && stream.total_out == rawSize && stream.avail_in == 0;
    inflateEnd(&stream);
    return whole;
}

ReplayReadResult Refuse(std::string sentence) {
    return {std::nullopt, std::move(sentence)};
}

} // namespace

std::vector<uint8_t> WriteReplay(const Replay& replay) {
    std::vector<uint8_t> file;
    ByteWriter out(file);
    out.Bytes(Magic);
    out.Number(FormatVersion, 2);
    out.Text(replay.GameVersion.substr(0, MaxReplayText));
    out.Number(replay.PackHash, 8);
    out.Number(replay.StartSeed, 4);
    out.Number(replay.StartTick, 4);
    out.Number(replay.PlayOptions, 4);
    out.Text(replay.PlayerName.substr(0, MaxReplayText));
    out.Number(static_cast<uint32_t>(replay.Score), 4);
    out.Number(replay.Stage, 4);
    out.Number(replay.Frames.size(), 4);
    out.Number(replay.FinalHash, 8);
    out.Number(replay.StateHashes.size(), 4);
    for (const uint64_t hash : replay.StateHashes)
        out.Number(hash, 8);
    const std::vector<uint8_t> raw = EncodeFrames(replay.Frames);
    const std::vector<uint8_t> packed = Compress(raw);
    out.Number(raw.size(), 4);
    out.Number(packed.size(), 4);
    out.Bytes(packed);
    return file;
}

ReplayReadResult ReadReplay(std::span<const uint8_t> bytes) {
    ByteReader in(bytes);
    const auto magic = in.Bytes(Magic.size());
    if (!in.Ok() || !std::equal(magic.begin(), magic.end(), Magic.begin()))
        return Refuse("not a replay file");
    const auto version = static_cast<uint16_t>(in.Number(2));
    if (in.Ok() && version != FormatVersion)
        return Refuse("a replay of format " + std::to_string(version) + ", which this build cannot read");
    Replay replay;
    replay.GameVersion = in.Text();
    replay.PackHash = in.Number(8);
    replay.StartSeed = static_cast<uint32_t>(in.Number(4));
    replay.StartTick = static_cast<uint32_t>(in.Number(4));
    replay.PlayOptions = static_cast<uint32_t>(in.Number(4));
    replay.PlayerName = in.Text();
    replay.Score = static_cast<int32_t>(static_cast<uint32_t>(in.Number(4)));
    replay.Stage = static_cast<uint32_t>(in.Number(4));
    const auto frameCount = static_cast<uint32_t>(in.Number(4));
    replay.FinalHash = in.Number(8);
    const auto hashCount = static_cast<uint32_t>(in.Number(4));
    if (!in.Ok()) return Refuse("the replay file ends early");
    if (frameCount > MaxReplayFrames) return Refuse("the replay holds more frames than a game can have");
    if (hashCount != frameCount / StateHashInterval)
        return Refuse("the replay's state checks do not fit its frames");
    replay.StateHashes.resize(hashCount);
    for (uint64_t& hash : replay.StateHashes)
        hash = in.Number(8);
    const auto rawSize = static_cast<size_t>(in.Number(4));
    const auto packedSize = static_cast<size_t>(in.Number(4));
    const auto packed = in.Bytes(packedSize);
    if (!in.Ok()) return Refuse("the replay file ends early");
    if (!in.AtEnd()) return Refuse("the replay file has bytes after its end");
    if (rawSize > LargestPayload(frameCount))
        return Refuse("the replay's frames are larger than its frame count allows");
    std::vector<uint8_t> raw;
    if (!Decompress(packed, rawSize, raw)) return Refuse("the replay's frames are damaged");
    if (!DecodeFrames(raw, frameCount, replay.Frames)) return Refuse("the replay's frames do not decode");
    return {std::move(replay), {}};
}

ReplayReadResult LoadReplayFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return Refuse("cannot open " + path.string());
    std::vector<uint8_t> bytes;
    std::array<char, 65536> chunk{};
    while (file.read(chunk.data(), chunk.size()) || file.gcount() > 0) {
        bytes.insert(bytes.end(), chunk.data(), chunk.data() + file.gcount());
        if (bytes.size() > MaxReplayFileBytes) return Refuse(path.string() + " is too large for a replay");
    }
    if (file.bad()) return Refuse("cannot read " + path.string());
    ReplayReadResult result = ReadReplay(bytes);
    if (!result.Read) result.Error = path.string() + ": " + result.Error;
    return result;
}

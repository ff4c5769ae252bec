#include "replay/ReplayFile.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <system_error>

namespace {

constexpr std::array<uint8_t, 8> Magic = {'V', 'T', 'X', 'R', 'E', 'P', 'L', 'Y'};
constexpr uint16_t FormatVersion = 2;
// The first format kept the pack's hash and a clock tick at the start and a time step in every frame.
// Its games cannot be watched any more, but its start still says whose game a kept file is.
constexpr uint16_t FirstFormatVersion = 1;
// A varint takes at most five bytes; a run of controls is one byte and its length.
constexpr size_t MaxVarintBytes = 5;
constexpr size_t MaxRunBytes = 1 + MaxVarintBytes;

constexpr const char* OtherVersionSentence = "This replay was recorded by another version of the game.";
constexpr const char* EndsEarly = "the replay file ends early";

// Little-endian numbers, length-prefixed texts and 7-bit groups ("varints") onto a growing buffer.
class ByteWriter {
  public:
    explicit ByteWriter(std::vector<uint8_t>& out) : out(out) {}
    void Bytes(std::span<const uint8_t> bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); }
    void Number(uint64_t value, size_t bytes) {
        for (size_t i = 0; i < bytes; ++i, value >>= 8)
            out.push_back(static_cast<uint8_t>(value));
    }
    // The text after its length in `lengthBytes`, cut to `longest` so that it always reads back.
    void Text(const std::string& text, size_t lengthBytes = 1, size_t longest = MaxReplayText) {
        const size_t length = std::min(text.size(), longest);
        Number(length, lengthBytes);
        Bytes(std::span(reinterpret_cast<const uint8_t*>(text.data()), length));
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

// The same, read back; every read checks the bytes left first, and the first failure sticks with the
// sentence that tells it.
class ByteReader {
  public:
    explicit ByteReader(std::span<const uint8_t> bytes) : bytes(bytes) {}
    bool Ok() const { return problem == nullptr; }
    const char* Problem() const { return problem; }
    bool AtEnd() const { return at == bytes.size(); }
    size_t Left() const { return bytes.size() - at; }
    void Refuse(const char* why) {
        if (Ok()) problem = why;
    }

    std::span<const uint8_t> Bytes(size_t count) {
        if (count > Left()) Refuse(EndsEarly);
        if (!Ok()) return {};
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
    // A text after its length in `lengthBytes`; a longer one than `longest` is refused with `tooLong`.
    std::string Text(size_t lengthBytes = 1, size_t longest = MaxReplayText,
                     const char* tooLong = "the replay holds a text longer than allowed") {
        const auto length = static_cast<size_t>(Number(lengthBytes));
        if (length > longest) Refuse(tooLong);
        const auto piece = Bytes(length);
        return std::string(piece.begin(), piece.end());
    }
    uint32_t Varint() {
        uint32_t value = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            const auto byte = static_cast<uint8_t>(Number(1));
            // The fifth group holds the top four bits only.
            if (shift == 28 && byte > 0x0F) Refuse("the replay holds a number too large");
            if (!Ok()) return 0;
            value |= static_cast<uint32_t>(byte & 0x7F) << shift;
            if (!(byte & 0x80)) return value;
        }
        Refuse("the replay holds a number too large");
        return 0;
    }

  private:
    std::span<const uint8_t> bytes;
    size_t at = 0;
    const char* problem = nullptr;
};

// The format version after the magic; the reader fails when the magic differs.
uint16_t ReadFormatVersion(ByteReader& in) {
    if (in.Left() < Magic.size() || !std::ranges::equal(in.Bytes(Magic.size()), Magic))
        in.Refuse("not a replay file");
    return static_cast<uint16_t>(in.Number(2));
}

// Everything before the frame count: the rules, the start, the player and the claimed score and stage.
void WriteStart(ByteWriter& out, const Replay& replay) {
    out.Number(replay.RulesVersion, 4);
    out.Number(replay.RulesHash, 8);
    out.Text(replay.GameVersion);
    out.Number(replay.StartSeed, 4);
    out.Text(replay.StartTicket, 2, MaxStartTicketBytes);
    out.Number(replay.PlayOptions, 4);
    out.Text(replay.PlayerName);
    out.Number(static_cast<uint32_t>(replay.Score), 4);
    out.Number(replay.Stage, 4);
}

void ReadStart(ByteReader& in, Replay& replay) {
    replay.RulesVersion = static_cast<uint32_t>(in.Number(4));
    replay.RulesHash = in.Number(8);
    replay.GameVersion = in.Text();
    replay.StartSeed = static_cast<uint32_t>(in.Number(4));
    replay.StartTicket = in.Text(2, MaxStartTicketBytes, "the replay's start ticket is longer than allowed");
    replay.PlayOptions = static_cast<uint32_t>(in.Number(4));
    replay.PlayerName = in.Text();
    replay.Score = static_cast<int32_t>(static_cast<uint32_t>(in.Number(4)));
    replay.Stage = static_cast<uint32_t>(in.Number(4));
}

// The first format's start, up to the claimed score.
ReplayClaim ReadFirstFormatClaim(ByteReader& in) {
    in.Text();               // the game's version
    in.Bytes(8 + 4 + 4 + 4); // the pack's hash, the start seed, the start tick and the play options
    ReplayClaim claim;
    claim.PlayerName = in.Text();
    claim.Score = static_cast<int32_t>(static_cast<uint32_t>(in.Number(4)));
    return claim;
}

// The frames before compression: the controls as runs of equal values.
std::vector<uint8_t> EncodeFrames(const std::vector<ReplayFrame>& frames) {
    std::vector<std::pair<uint8_t, uint32_t>> runs;
    for (const ReplayFrame& frame : frames) {
        if (!runs.empty() && runs.back().first == frame.Controls)
            ++runs.back().second;
        else
            runs.push_back({frame.Controls, 1});
    }
    std::vector<uint8_t> payload;
    ByteWriter out(payload);
    out.Varint(static_cast<uint32_t>(runs.size()));
    for (const auto& [controls, length] : runs) {
        out.Number(controls, 1);
        out.Varint(length);
    }
    return payload;
}

bool DecodeFrames(std::span<const uint8_t> payload, uint32_t frameCount, std::vector<ReplayFrame>& frames) {
    ByteReader in(payload);
    const uint32_t runCount = in.Varint();
    if (runCount > frameCount) return false;
    frames.reserve(frameCount);
    for (uint32_t run = 0; run < runCount; ++run) {
        const auto controls = static_cast<uint8_t>(in.Number(1));
        const uint32_t length = in.Varint();
        if (!in.Ok() || controls > AllFrameInputBits || length == 0 || length > frameCount - frames.size())
            return false;
        frames.insert(frames.end(), length, ReplayFrame{controls});
    }
    return in.Ok() && in.AtEnd() && frames.size() == frameCount;
}

// The count of runs, then at most one run per frame.
size_t LargestPayload(uint32_t frameCount) {
    return MaxVarintBytes + MaxRunBytes * frameCount;
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

// After the start: the frames, the state checks and the end's hash; null when they read, else why not.
const char* ReadPlay(ByteReader& in, Replay& replay) {
    const auto frameCount = static_cast<uint32_t>(in.Number(4));
    replay.FinalHash = in.Number(8);
    const auto hashCount = static_cast<uint32_t>(in.Number(4));
    if (!in.Ok()) return in.Problem();
    if (frameCount > MaxReplayFrames) return "the replay holds more frames than a game can have";
    if (hashCount != frameCount / StateHashInterval) return "the replay's state checks do not fit its frames";
    replay.StateHashes.resize(hashCount);
    for (uint64_t& hash : replay.StateHashes)
        hash = in.Number(8);
    const auto rawSize = static_cast<size_t>(in.Number(4));
    const auto packedSize = static_cast<size_t>(in.Number(4));
    const auto packed = in.Bytes(packedSize);
    if (!in.Ok()) return in.Problem();
    if (!in.AtEnd()) return "the replay file has bytes after its end";
    if (rawSize > LargestPayload(frameCount))
        return "the replay's frames are larger than its frame count allows";
    std::vector<uint8_t> raw;
    if (!Decompress(packed, rawSize, raw)) return "the replay's frames are damaged";
    if (!DecodeFrames(raw, frameCount, replay.Frames)) return "the replay's frames do not decode";
    return nullptr;
}

ReplayReadResult Refuse(std::string sentence, ReplayReadError kind = ReplayReadError::Damaged) {
    return {std::nullopt, std::move(sentence), kind};
}

ReplayReadResult RefuseOtherVersion() {
    return Refuse(OtherVersionSentence, ReplayReadError::OtherFormat);
}

// The whole file into `bytes`, or the refusal that names it.
std::optional<ReplayReadResult> ReadFileBytes(const std::filesystem::path& path,
                                              std::vector<uint8_t>& bytes) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::error_code error;
        if (!std::filesystem::exists(path, error) && !error)
            return Refuse("there is no replay file " + path.string(), ReplayReadError::Missing);
        return Refuse("cannot open " + path.string());
    }
    std::array<char, 65536> chunk{};
    while (file.read(chunk.data(), chunk.size()) || file.gcount() > 0) {
        bytes.insert(bytes.end(), chunk.data(), chunk.data() + file.gcount());
        if (bytes.size() > MaxReplayFileBytes) return Refuse(path.string() + " is too large for a replay");
    }
    if (file.bad()) return Refuse("cannot read " + path.string());
    return std::nullopt;
}

} // namespace

std::vector<uint8_t> WriteReplay(const Replay& replay) {
    std::vector<uint8_t> file(Magic.begin(), Magic.end());
    ByteWriter out(file);
    out.Number(FormatVersion, 2);
    WriteStart(out, replay);
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
    const uint16_t version = ReadFormatVersion(in);
    if (!in.Ok()) return Refuse(in.Problem());
    if (version != FormatVersion) return RefuseOtherVersion();
    Replay replay;
    ReadStart(in, replay);
    if (!in.Ok()) return Refuse(in.Problem());
    if (replay.PlayOptions & ~KnownPlayOptions) return RefuseOtherVersion();
    if (const char* problem = ReadPlay(in, replay)) return Refuse(problem);
    return {std::move(replay), {}, ReplayReadError::None};
}

ReplayReadResult LoadReplayFile(const std::filesystem::path& path) {
    std::vector<uint8_t> bytes;
    if (std::optional<ReplayReadResult> refused = ReadFileBytes(path, bytes)) return std::move(*refused);
    ReplayReadResult result = ReadReplay(bytes);
    if (!result.Read) result.Error = path.string() + ": " + result.Error;
    return result;
}

std::optional<ReplayClaim> ReadReplayClaim(std::span<const uint8_t> bytes) {
    ByteReader in(bytes);
    const uint16_t version = ReadFormatVersion(in);
    ReplayClaim claim;
    if (version == FirstFormatVersion) {
        claim = ReadFirstFormatClaim(in);
    } else if (version == FormatVersion) {
        Replay replay;
        ReadStart(in, replay);
        claim = {std::move(replay.PlayerName), replay.Score};
    } else {
        return std::nullopt;
    }
    if (!in.Ok()) return std::nullopt;
    return claim;
}

std::optional<ReplayClaim> LoadReplayClaim(const std::filesystem::path& path) {
    std::vector<uint8_t> bytes;
    if (ReadFileBytes(path, bytes)) return std::nullopt;
    return ReadReplayClaim(bytes);
}

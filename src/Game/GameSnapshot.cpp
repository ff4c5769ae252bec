#include "Game/GameSnapshot.h"

#include "Game/TAsteroid.h"
#include "Game/TBaseBoss.h"
#include "Game/TBonus.h"
#include "Game/TEnemyEngine.h"
#include "Game/TEnemyShip.h"
#include "Game/TGame.h"
#include "Game/TGunner.h"
#include "Game/THit.h"
#include "Game/TLineLive.h"
#include "Game/TMyShip.h"
#include "Game/TPulya.h"
#include "Game/TRunBackground.h"
#include "core/Hash64.h"

#include <bit>
#include <memory>
#include <type_traits>

namespace {

// A value's bytes: whole numbers little-endian by their width, floating point by its bits, enumerations
// by their underlying type.
template <typename T> uint64_t BitsOf(T value) {
    if constexpr (std::is_enum_v<T>)
        return static_cast<uint64_t>(static_cast<std::underlying_type_t<T>>(value));
    else if constexpr (std::is_floating_point_v<T>)
        return std::bit_cast<std::conditional_t<sizeof(T) == 4, uint32_t, uint64_t>>(value);
    else
        return static_cast<uint64_t>(value);
}

template <typename T> T FromBits(uint64_t bits) {
    if constexpr (std::is_enum_v<T>)
        return static_cast<T>(static_cast<std::underlying_type_t<T>>(bits));
    else if constexpr (std::is_floating_point_v<T>)
        return std::bit_cast<T>(static_cast<std::conditional_t<sizeof(T) == 4, uint32_t, uint64_t>>(bits));
    else if constexpr (std::is_same_v<T, bool>)
        return bits != 0;
    else
        return static_cast<T>(bits);
}

struct ByteSink {
    std::vector<uint8_t>& out;
    void Put(uint64_t bits, size_t bytes) {
        for (size_t i = 0; i < bytes; ++i, bits >>= 8)
            out.push_back(static_cast<uint8_t>(bits));
    }
};

struct HashSink {
    Hash64& hash;
    void Put(uint64_t bits, size_t bytes) { hash.AddNumber(bits, bytes); }
};

template <typename Sink> class SnapshotWriter {
  public:
    SnapshotWriter(Sink sink, uint32_t startTick) : sink(sink), startTick(startTick) {}
    template <typename... T> void operator()(T&... values) { (sink.Put(BitsOf(values), sizeof(T)), ...); }
    template <typename... T> void Ticks(T&... ticks) { (sink.Put(ticks - startTick, 4), ...); }
    template <typename T, typename Make, typename Walk> void Slot(std::unique_ptr<T>& slot, Make, Walk walk) {
        sink.Put(slot ? 1 : 0, 1);
        if (slot) walk(*slot);
    }

  private:
    Sink sink;
    uint32_t startTick;
};

class SnapshotReader {
  public:
    SnapshotReader(std::span<const uint8_t> bytes, uint32_t startTick) : bytes(bytes), startTick(startTick) {}
    bool Whole() const { return ok && at == bytes.size(); }
    template <typename... T> void operator()(T&... values) { ((values = FromBits<T>(Get(sizeof(T)))), ...); }
    template <typename... T> void Ticks(T&... ticks) {
        ((ticks = static_cast<uint32_t>(startTick + Get(4))), ...);
    }
    template <typename T, typename Make, typename Walk>
    void Slot(std::unique_ptr<T>& slot, Make make, Walk walk) {
        const uint64_t present = Get(1);
        if (!ok || present > 1) {
            ok = false;
            return;
        }
        if (present == 0) {
            slot.reset();
            return;
        }
        slot = make();
        walk(*slot);
    }

  private:
    uint64_t Get(size_t count) {
        if (!ok || bytes.size() - at < count) {
            ok = false;
            return 0;
        }
        uint64_t bits = 0;
        for (size_t i = count; i-- > 0;)
            bits = bits << 8 | bytes[at + i];
        at += count;
        return bits;
    }

    std::span<const uint8_t> bytes;
    size_t at = 0;
    uint32_t startTick;
    bool ok = true;
};

// Asteroids and bonuses draw their kind when they are made; a restored one is made without a draw, as
// the generator's state is the snapshot's.
template <typename Make> auto MadeWithoutDrawing(TGame& game, Make make) {
    const uint32_t seed = game.Rng.Seed;
    auto made = make();
    game.Rng.Seed = seed;
    return made;
}

template <typename Fields> void WalkGun(Fields& f, TGunner& gun) {
    gun.ListFields(f);
    for (auto& shot : gun.Shots)
        f.Slot(
            shot, [] { return std::make_unique<TPulya>(0, 0, 0, 0.0, 0); },
            [&](TPulya& made) { made.ListFields(f); });
}

template <typename Ship, typename Fields> void WalkArmedShip(Fields& f, Ship& ship) {
    ship.ListFields(f);
    WalkGun(f, *ship.Gun);
    ship.LifeBar->ListFields(f);
}

template <typename Fields> void WalkOpposition(Fields& f, TGame& game) {
    TEnemyEngine& engine = *game.Engine;
    engine.ListFields(f);
    for (auto& ship : engine.Ships)
        f.Slot(
            ship, [&] { return std::make_unique<TEnemyShip>(game, 0, 0, 0, 0); },
            [&](TEnemyShip& made) { WalkArmedShip(f, made); });
    f.Slot(
        engine.Boss, [&] { return std::make_unique<TBaseBoss>(game, 0); },
        [&](TBaseBoss& made) { WalkArmedShip(f, made); });
}

template <typename Fields> void WalkSlotLists(Fields& f, TGame& game) {
    for (size_t i = 0; i < GameSlotCount; ++i) {
        const auto slot = static_cast<uint8_t>(i);
        f.Slot(
            game.Hits[i], [&] { return std::make_unique<THit>(game, 0, slot, 0, 0, 0); },
            [&](THit& made) { made.ListFields(f); });
        f.Slot(
            game.Asteroids[i],
            [&] { return MadeWithoutDrawing(game, [&] { return std::make_unique<TAsteroid>(game, slot); }); },
            [&](TAsteroid& made) { made.ListFields(f); });
        f.Slot(
            game.Bonuses[i],
            [&] {
                return MadeWithoutDrawing(game, [&] { return std::make_unique<TBonus>(game, slot, 0, 0); });
            },
            [&](TBonus& made) { made.ListFields(f); });
    }
}

template <typename Fields> void WalkGame(Fields& f, TGame& game) {
    game.ListFields(f);
    game.FarLayer->ListFields(f);
    game.NearLayer->ListFields(f);
    game.Ship->ListFields(f);
    WalkGun(f, *game.Ship->Gun);
    WalkOpposition(f, game);
    WalkSlotLists(f, game);
}

} // namespace

// Saving only reads the game; the walk is shared with restoring, which is why it takes the game unconst.
std::vector<uint8_t> SaveGameSnapshot(const TGame& game) {
    std::vector<uint8_t> bytes;
    SnapshotWriter<ByteSink> writer(ByteSink{bytes}, game.StartTick);
    WalkGame(writer, const_cast<TGame&>(game));
    return bytes;
}

bool RestoreGameSnapshot(TGame& game, std::span<const uint8_t> bytes) {
    SnapshotReader reader(bytes, game.StartTick);
    WalkGame(reader, game);
    return reader.Whole();
}

uint64_t GameStateHash(const TGame& game) {
    Hash64 hash;
    SnapshotWriter<HashSink> writer(HashSink{hash}, game.StartTick);
    WalkGame(writer, const_cast<TGame&>(game));
    return hash.Value();
}

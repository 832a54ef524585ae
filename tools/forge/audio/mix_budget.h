// The levels of the game's sounds, shared out so that their sum cannot reach
// full scale. The game plays one music track at a time and every sound effect
// on a channel of its own, at most once at a time, all at full channel volume;
// the music volume only turns the track down. So the worst moment is the
// loudest track at its peak with every effect at its peak: the track's peak
// and the effects' peaks together stay below full scale, with room left for
// what the Vorbis decoder and the mixer's resampler add to a peak.
#pragma once

namespace pomlets::forge {

// The peak of every music track, before encoding (full scale 1).
constexpr double kMusicPeak = 0.25;
// The peaks of all sound effects added up; each effect keeps its share in
// proportion to the level its recipe gives it.
constexpr double kEffectPeaksTogether = 0.65;

} // namespace pomlets::forge

# The two commands of the README. Both install what is missing first.
SHELL := /bin/bash
JOBS ?= $(shell nproc)

.PHONY: deps build profile release run test test-dev test-asan test-fuzz test-release bench clean voice-data phoneme-voice-data

deps:
	@scripts/install-deps

build: deps
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev -j $(JOBS)

# The release build is optimised with execution counts that the `profile`
# build records while it runs bench/training/.
profile: deps
	@cmake --preset profile >/dev/null
	@cmake --build --preset profile -j $(JOBS) --target corvante
	@scripts/train-profile build/profile build/profile-data

release: deps profile
	@cmake --preset release >/dev/null
	@cmake --build --preset release -j $(JOBS) --target programs

# CLOUD=local or CLOUD=real chooses the cloud tools the application drives
# (see README, "The cloud service").
run: release
	@scripts/install-voice
	@CLOUD=$(CLOUD) scripts/run-main

test: deps test-dev test-asan test-fuzz test-release

test-dev:
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev -j $(JOBS)
	@ctest --preset dev -j $(JOBS)

test-asan:
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan -j $(JOBS)
	@ctest --preset asan -j $(JOBS) -LE no-asan

test-fuzz:
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz -j $(JOBS) --target fuzz_targets
	@scripts/run-fuzzers build/fuzz

# The optimised build with warnings as errors: the optimiser finds
# warnings (-Wmaybe-uninitialized, ...) that the debug build never sees,
# and `make run` would show them to a new user. It builds the programs,
# tools and benchmarks without execution counts, so it needs no profile
# run, and without the tests, which the other builds run.
test-release:
	@cmake --preset release-check >/dev/null
	@cmake --build --preset release-check -j $(JOBS)

bench: release
	@bench/run-benchmarks build/release

# Regenerates data/voice from the rules, the word list and espeak-ng. The
# data is committed; building and testing never need this.
voice-data: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release -j $(JOBS) --target voice_generate
	@build/release/tools/voice/voice_generate --output data/voice

# Regenerates the diphone database of the phoneme-line voice (br4 and its
# definitions file portug.dfn) from espeak-ng. Committed like data/voice.
phoneme-voice-data: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release -j $(JOBS) --target diphone_generate
	@build/release/tools/diphone_synth/diphone_generate --output data/phoneme_voice

clean:
	rm -rf build

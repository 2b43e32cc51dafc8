# The two commands of the README. Both install what is missing first.
SHELL := /bin/bash
JOBS ?= $(shell nproc)

.PHONY: deps build release run test test-dev test-asan test-fuzz bench clean

deps:
	@scripts/install-deps

build: deps
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev -j $(JOBS)

release: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release -j $(JOBS)

run: release
	@scripts/run-main

test: deps test-dev test-asan test-fuzz

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
	@cmake --build --preset fuzz -j $(JOBS)
	@scripts/run-fuzzers build/fuzz

bench: release
	@bench/run-benchmarks build/release

clean:
	rm -rf build

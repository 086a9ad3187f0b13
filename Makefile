# Perch: every target installs what is missing, configures, builds
# incrementally and then does its job.
BUILD ?= build/main
JOBS  ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test bench clean

all: build

deps:
	@bash tools/install-deps

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

configure: deps $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash tools/run-perch $(BUILD)

test: build
	@bash tools/with-test-env ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

bench: build
	@bash tools/run-bench $(BUILD)

clean:
	rm -rf build

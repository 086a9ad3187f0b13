# Perch: every target installs what is missing, configures, builds
# incrementally and then does its job.
BUILD ?= build/main
JOBS  ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test bench package clean

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

# The Debian package: $(BUILD)/perch_<version>_<arch>.deb
package: build
	cmake --build $(BUILD) --target package

# Removes the build folders, but keeps the settings that a companion run from
# a build tree wrote beside its program (build/*/bin/config.ini): the user's
# and the bird's names survive a clean.
clean:
	@if [ -d build ]; then \
	  find build -depth -mindepth 1 ! -type d ! -path 'build/*/bin/config.ini' -delete; \
	  find build -depth -mindepth 1 -type d -empty -delete; \
	fi

# Perch: every target installs what is missing, configures, builds
# incrementally and then does its job.
BUILD ?= build/main
JOBS  ?= $(shell nproc)
CMAKE_FLAGS ?=

# Only what is built and run is printed, no "Entering directory" lines (from
# make's own recursion, or from a build folder made with Unix Makefiles).
MAKEFLAGS += --no-print-directory

.PHONY: all deps configure build run test bench package clean

all: build

deps:
	@bash tools/install-deps

# Ninja when installed, else Unix Makefiles; see tools/configure-build.
configure: deps
	@bash tools/configure-build $(BUILD) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash tools/run-perch $(BUILD)

# The end-to-end tests run after the others and more at once: see tools/run-tests.
test: build
	@bash tools/with-test-env bash tools/run-tests $(BUILD) $(JOBS)

# The benchmark programs are built only here, not by build or test.
bench: build
	cmake --build $(BUILD) -j $(JOBS) --target benchmarks
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

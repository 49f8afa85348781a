# The two commands: `make run` starts the utility with the simulated printer,
# `make test` runs every test. Both install what is missing first.
BUILD ?= build
JOBS ?= $(shell nproc)
# ONE_BUILD=1: only the build this machine tests (see the README).
export ONE_BUILD

.PHONY: all setup configure build build-all run test fuzz package screenshots bench format clean

all: build

setup:
	@bash scripts/setup.sh

configure: setup
	@bash scripts/configure.sh $(BUILD)

# The build this machine tests (the shipped 32-bit one, or its 64-bit twin where the kernel runs
# no 32-bit programs).
build: configure
	@bash scripts/build.sh $(BUILD) $(JOBS) --tested-only

# Every build of this machine: where the tested one is the 64-bit twin, also the shipped 32-bit
# build in $(BUILD)/i686, compiled in full (ONE_BUILD=1 skips it).
build-all: configure
	@bash scripts/build.sh $(BUILD) $(JOBS)

run: build
	@bash scripts/run.sh $(BUILD)

test: build-all
	@bash scripts/test.sh $(BUILD)

# The fuzz targets of the native build, FUZZ_SECONDS each (default 300).
fuzz: build
	@bash scripts/fuzz.sh $(BUILD)

# Screenshots of every window in English, German and Japanese (build/screenshots/); the
# English ones refresh the README's tour (docs/tour/).
screenshots: build
	@bash scripts/screenshots.sh $(BUILD)

# The benchmarks against their floors: a table, and the figures in build/bench/.
bench: build
	@bash scripts/bench.sh $(BUILD)

# The release build (optimised, stripped, 32-bit where its compiler exists) and its Windows
# installer, in build-release/.
package: setup
	@JOBS=$(JOBS) bash scripts/package.sh build-release

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)

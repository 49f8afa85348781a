# The two commands: `make run` starts the utility with the simulated printer,
# `make test` runs every test. Both install what is missing first.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all setup configure build run test fuzz package screenshots bench format clean

all: build

setup:
	@bash scripts/setup.sh

configure: setup
	@bash scripts/configure.sh $(BUILD)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run.sh $(BUILD)

test: build
	@bash scripts/xvfb-session.sh ctest --test-dir $(BUILD) --output-on-failure -j 2

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

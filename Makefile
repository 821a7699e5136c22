# The two commands a fresh Debian 12 machine needs (as root): `make run` and `make test`.
# `make` alone builds the product, the 32-bit DRUX.exe, in build/.
# Tests, `run` and `bench` use the build whose programs Wine can run here, decided once per make by
# tests/harness/decide.sh, which writes it into each build's harness.env: build/ where Wine's 32-bit
# loader works, else the same sources built for x86_64 in build-x64/ (the stand-in). Make, CMake
# and the harness scripts all read that file; none of them decides again.
BUILD ?= build
STANDIN := build-x64
# One more job than the 2 cores: the data set is two long single-threaded computations (one per
# compiler) that otherwise wait behind compile jobs for a slot and leave a core idle at the end.
JOBS ?= 3

# Only the targets that run Windows programs ask; `make` alone needs no Wine.
DECIDING := $(filter build-run %-installed,$(MAKECMDGOALS))
ifneq ($(DECIDING),)
DECIDED := $(shell bash tests/harness/decide.sh --product $(BUILD) --stand-in $(STANDIN) || echo FAILED)
ifeq ($(DECIDED),FAILED)
$(error tests/harness/decide.sh could not decide how Wine runs the builds here (its message is above))
endif
include $(BUILD)/harness.env
RUNBUILD := $(DRUX_RUN_BUILD)
WHY := $(if $(filter 1,$(DRUX_PRODUCT_EMULATED)),x86_64 build: Wine's 32-bit loader cannot start here,i686 build: Wine's 32-bit loader runs here)
endif

.PHONY: build build-x64 build-run run test bench fuzz format format-check setup clean run-installed test-installed bench-installed dist

# Configured again when the harness's decision changed since (the loader CTest runs with).
build:
	@test -f $(BUILD)/CMakeCache.txt -a ! $(BUILD)/harness.env -nt $(BUILD)/CMakeCache.txt || \
	  cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j$(JOBS)

# The stand-in takes the product build's data set and host tools instead of computing them again.
build-x64: build
	@test -f $(STANDIN)/CMakeCache.txt -a ! $(STANDIN)/harness.env -nt $(STANDIN)/CMakeCache.txt || \
	  cmake -S . -B $(STANDIN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
	    -DDRUX_DATA_FROM=$(abspath $(BUILD))
	cmake --build $(STANDIN) -j$(JOBS)

# The product always builds; the runnable build is the stand-in where 32-bit Wine can't start.
build-run: build $(if $(filter $(STANDIN),$(RUNBUILD)),build-x64,)

setup:
	bash tools/setup.sh

# Which build runs is only known once Wine is installed, so the work after setup is a new make.
run: setup
	$(MAKE) run-installed

test: setup
	$(MAKE) test-installed

bench: setup
	$(MAKE) bench-installed

# Says which build the target runs, and why.
define RUNBUILD_SAY
	@echo "$(1): using $(RUNBUILD)/ ($(WHY))"
endef

# make run FILE=path opens that file instead of the default data set.
run-installed: build-run
	$(call RUNBUILD_SAY,make run)
	bash tools/run.sh $(RUNBUILD) "$(FILE)"

# tests/harness/test.sh builds the product while the suites' Wine prefixes are made, then runs the
# stages: the fuzz check and the checks that run no Windows code, and (where the runnable build is
# the stand-in) the product's suite emulated, start once the product is built, while the stand-in
# builds; then the runnable build's suite beside them.
test-installed:
	$(call RUNBUILD_SAY,make test)
	bash tests/harness/test.sh --product $(BUILD) --stand-in $(STANDIN) \
	  --build-product "$(MAKE) --no-print-directory build" \
	  --build-stand-in "$(MAKE) --no-print-directory build-x64"

# BENCH_REPEAT runs of each measure (median printed); BENCH_ONLY picks measures by their text.
BENCH_REPEAT ?= 3
BENCH_ONLY ?=
bench-installed: build-run
	$(call RUNBUILD_SAY,make bench)
	@echo "make bench: native programs only (emulated timings mean nothing): $(RUNBUILD)/ under $(DRUX_RUN_LOADER)"
	bash tools/bench.sh $(RUNBUILD) $(BENCH_REPEAT) "$(BENCH_ONLY)"

# The Windows package of the product: dist/DRUX-<version>-win32.zip and its checksum
# DRUX-<version>-win32.zip.sha256 (the build makes both).
dist: build
	mkdir -p dist
	cp $(BUILD)/dist/DRUX-*-win32.zip $(BUILD)/dist/DRUX-*-win32.zip.sha256 dist/
	@ls dist/DRUX-*-win32.zip*
	cd dist && sha256sum --check DRUX-*-win32.zip.sha256

# Native fuzzing with clang's sanitizers, a bounded time per target (FUZZ_SECONDS); make test
# runs the same targets for a few seconds each.
fuzz: setup
	bash tools/fuzz.sh

# format rewrites the sources to .clang-format; format-check fails on any that differ (CI).
format: setup
	bash tools/format.sh fix

format-check: setup
	bash tools/format.sh check

clean:
	rm -rf $(BUILD) $(STANDIN) build-fuzz

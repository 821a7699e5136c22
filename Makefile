# The two commands a fresh Debian 12 machine needs (as root): `make run` and `make test`.
# `make` alone builds the product, the 32-bit DRUX.exe, in build/.
# Tests, `run` and `bench` use the build whose programs Wine can run here, decided once by
# tools/wine-arch.sh: build/ where Wine's 32-bit loader works, else the same sources built for
# x86_64 in build-x64/. Each build's loader is named by its toolchain file (cmake/mingw-*.cmake).
BUILD ?= build
JOBS ?= 2
ARCH = $(shell bash tools/wine-arch.sh)
RUNBUILD = $(if $(filter x86_64,$(ARCH)),build-x64,$(BUILD))

.PHONY: build build-x64 build-run run test bench fuzz format format-check setup clean run-installed test-installed bench-installed dist

build:
	@test -f $(BUILD)/CMakeCache.txt || cmake -S . -B $(BUILD) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j$(JOBS)

build-x64:
	@test -f build-x64/CMakeCache.txt || cmake -S . -B build-x64 \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release
	cmake --build build-x64 -j$(JOBS)

# The product always builds; the runnable build is the x64 one where 32-bit Wine can't start.
build-run: build $(if $(filter x86_64,$(ARCH)),build-x64,)

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
	@echo "$(1): using $(RUNBUILD)/ ($(ARCH) build$(if $(filter x86_64,$(ARCH)),: Wine's 32-bit loader cannot start here,))"
endef

# make run FILE=path opens that file instead of the default data set.
run-installed: build-run
	$(call RUNBUILD_SAY,make run)
	bash tools/run.sh $(RUNBUILD) "$(FILE)"

# The fuzz targets build and run briefly first: a platform call the shim lacks stops the test here.
test-installed: build-run
	bash tools/fuzz.sh check
	$(call RUNBUILD_SAY,make test)
	bash tools/wine-env.sh $(RUNBUILD) -- ctest --test-dir $(RUNBUILD) --output-on-failure -j1
	@echo "make test: $(RUNBUILD)/ ran every test program natively ($(if $(filter x86_64,$(ARCH)),/usr/lib/wine/wine64,Wine's 32-bit loader))"
# Where the x86-64 build stands in, the product's own 32-bit build is tested too, under qemu's
# user-mode emulation (tools/test-emulated.sh says what runs there and what cannot).
	$(if $(filter x86_64,$(ARCH)),@echo "make test: $(BUILD)/ (the 32-bit product): emulated under qemu-i386-static beside natively run x86-64 drivers")
	$(if $(filter x86_64,$(ARCH)),bash tools/test-emulated.sh $(BUILD) build-x64)

# BENCH_REPEAT runs of each measure (median printed); BENCH_ONLY picks measures by their text.
BENCH_REPEAT ?= 3
BENCH_ONLY ?=
bench-installed: build-run
	$(call RUNBUILD_SAY,make bench)
	@echo "make bench: native programs only (emulated timings mean nothing): $(RUNBUILD)/ under $(if $(filter x86_64,$(ARCH)),/usr/lib/wine/wine64,Wine's 32-bit loader)"
	bash tools/wine-env.sh $(RUNBUILD) -- bash tools/bench.sh $(RUNBUILD) $(BENCH_REPEAT) "$(BENCH_ONLY)"

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
	rm -rf $(BUILD) build-x64 build-fuzz

# Entry points: `make run` starts Tavik under Wine, `make test` builds everything and runs every test,
# `make build` builds every configuration and runs nothing, `make release` makes the installers and zips,
# `make bench` builds what the benchmarks need and runs them (figures only: nothing is asserted).
SHELL := /bin/bash
JOBS ?= $(shell nproc)
PRESETS_TESTED := native asan fuzz win64
PRESETS_ALL := $(PRESETS_TESTED) win32
PRESETS_RELEASED := win64 win32

.PHONY: deps build test run clean pictures release bench fuzz soak

deps:
	@bash scripts/install-deps.sh

build: deps $(addprefix build-,$(PRESETS_ALL))

# Explicit rules: make skips pattern rules for phony targets.
define preset_rule
.PHONY: build-$(1)
build-$(1):
	@cmake --preset $(1) >/dev/null
	@cmake --build build/$(1) -j $(JOBS)
endef
$(foreach preset,$(PRESETS_ALL),$(eval $(call preset_rule,$(preset))))

# build/<preset>/TavikInstall.exe and build/<preset>/Tavik-<version>-<preset>.zip of each Windows preset.
release: deps
	@for preset in $(PRESETS_RELEASED); do \
	  cmake --preset $$preset >/dev/null && cmake --build build/$$preset --target release -j $(JOBS) || exit 1; \
	done
	@ls -l build/win64/TavikInstall.exe build/win32/TavikInstall.exe build/win64/Tavik-*.zip build/win32/Tavik-*.zip

# One CTest run over every tested configuration, so the output ends with a single summary.
test: build
	@printf 'subdirs("native")\nsubdirs("asan")\nsubdirs("fuzz")\nsubdirs("win64")\n' > build/CTestTestfile.cmake
	@ctest --test-dir build --output-on-failure -j $(JOBS) --timeout 900

# The core's Google Benchmark targets (Release), then the programs under Wine beside smbd (bench/e2e).
BENCH_WIN64_TARGETS := Tavik send-window-message tavik-windows
bench:
	@bash scripts/install-deps.sh --bench
	@cmake --preset bench >/dev/null
	@cmake --build build/bench -j $(JOBS) --target tavik_bench messenger-flood
	@cmake --preset win64 >/dev/null
	@cmake --build build/win64 -j $(JOBS) --target $(BENCH_WIN64_TARGETS)
	@build/bench/bin/tavik_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
	@python3 bench/e2e/run_all.py

# Tavik under Wine flooded, killed, starved of disk and ports, logged off and fed junk, each scenario in a
# fresh Wine session; one table at the end, non-zero when a scenario fails (docs/reliability.md). Floods
# of SOAK_SECONDS (default 120); SOAK_SCENARIOS picks some (`python3 tests/soak/run_soak.py --list`).
# Not part of `make test`; the full-disk and unwritable-folder scenarios need root (mount, chattr).
SOAK_WIN64_TARGETS := Tavik TavikRes tavik-windows mailslot-flood mailslot-datagrams
soak: deps
	@cmake --preset win64 >/dev/null
	@cmake --build build/win64 -j $(JOBS) --target $(SOAK_WIN64_TARGETS)
	@python3 tests/soak/run_soak.py $(SOAK_SCENARIOS)

# Every fuzz harness for FUZZ_SECONDS (default 600) each, FUZZ_JOBS side by side; not part of `make test`.
fuzz: deps
	@bash scripts/fuzz.sh

# Installs what is missing and builds win64 and native with the build's output in build/make-run.log
# (shown when the build fails), then runs Tavik under Wine until Ctrl+C. One recipe line: the script
# that started Tavik is the one that ends it on Ctrl+C, during the build as after it.
run:
	@bash scripts/run-tavik.sh --build $(JOBS)

pictures:
	@bash scripts/make-pictures.sh

clean:
	rm -rf build

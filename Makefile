# Entry points: `make run` starts Tavik under Wine, `make test` builds everything and runs every test,
# `make build` builds every configuration and runs nothing.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
PRESETS_TESTED := native asan fuzz win64
PRESETS_ALL := $(PRESETS_TESTED) win32

.PHONY: deps build test run clean pictures $(addprefix build-,$(PRESETS_ALL))

deps:
	@bash scripts/install-deps.sh

build: deps $(addprefix build-,$(PRESETS_ALL))

build-%:
	@cmake --preset $* >/dev/null
	@cmake --build build/$* -j $(JOBS)

# One CTest run over every tested configuration, so the output ends with a single summary.
test: build
	@printf 'subdirs("native")\nsubdirs("asan")\nsubdirs("fuzz")\nsubdirs("win64")\n' > build/CTestTestfile.cmake
	@ctest --test-dir build --output-on-failure -j $(JOBS) --timeout 900

run: deps build-win64 build-native
	@bash scripts/run-tavik.sh

pictures:
	@bash scripts/make-pictures.sh

clean:
	rm -rf build

# make run [APP=ovelin]   install what is missing, build, start an editor
# make test               install what is missing, build, run every test
# make sanitize           the tests under AddressSanitizer + UBSan (build-asan/)
APP ?= tarvik
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

ifeq ($(APP),ovelin)
APP_BINARY := $(BUILD)/ovelin/ovelin
else ifeq ($(APP),tarvik)
APP_BINARY := $(BUILD)/tarvik/bin/tarvik
else
$(error APP must be tarvik or ovelin)
endif

.PHONY: deps configure build run test sanitize bench clean

deps:
	@./scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(APP_BINARY) $(ARGS)

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

sanitize:
	@$(MAKE) --no-print-directory test BUILD=build-asan BUILD_TYPE=Debug CMAKE_FLAGS="-DVEK_SANITIZE=ON $(CMAKE_FLAGS)"

bench: build
	@for b in $(BUILD)/bench/bench_*; do echo "== $$b"; $$b || exit 1; done

clean:
	rm -rf $(BUILD) build-asan

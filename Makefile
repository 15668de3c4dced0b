# Front door for building, running and testing Tunebase.
BUILD_DIR ?= build
ASAN_DIR  ?= build-asan
FUZZ_DIR  ?= build-fuzz
FUZZ_SECONDS ?= 20
JOBS      ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
ASAN_FLAGS = -DCMAKE_BUILD_TYPE=Debug -DTUNEBASE_SANITIZE=ON -DTUNEBASE_BUILD_BENCH=OFF -DTUNEBASE_SHARED_LIBS=ON

# What a build directory was configured with: CMake runs again when the
# flags differ or when an optional package it looks for (TagLib, for the
# benchmarks) has been installed since.
configured = $(1)/.tunebase-configured
config_key = $(2) taglib:$(shell pkg-config --exists taglib 2>/dev/null && echo yes || echo no)
define configure_dir
	@key='$(call config_key,$(1),$(2))'; \
	if [ ! -f $(1)/build.ninja ] || [ "$$(cat $(call configured,$(1)) 2>/dev/null)" != "$$key" ]; then \
	  cmake -S . -B $(1) -G Ninja $(2) && echo "$$key" > $(call configured,$(1)); \
	fi
endef

.PHONY: all deps test-deps package-deps configure build run test asan fuzz bench install package screenshots clean

all: build

# Building and running need Qt only; the tests also use the MP3 encoders,
# mutagen and Xvfb.
deps:
	./scripts/install-deps

test-deps:
	./scripts/install-deps test

configure: deps
	$(call configure_dir,$(BUILD_DIR),$(CMAKE_FLAGS))

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	./$(BUILD_DIR)/src/app/tunebase $(ARGS)

test: test-deps build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# The whole suite built and run with AddressSanitizer and UBSan (on shared
# libraries: a hundred small test programs link much faster than big ones).
asan: test-deps
	$(call configure_dir,$(ASAN_DIR),$(ASAN_FLAGS))
	cmake --build $(ASAN_DIR) -j $(JOBS)
	cd $(ASAN_DIR) && ctest --output-on-failure -j $(JOBS)

# Every reader of untrusted bytes under libFuzzer (clang, ASan, UBSan), each
# for FUZZ_SECONDS; findings are kept in $(FUZZ_DIR)/artifacts.
fuzz:
	./scripts/install-deps fuzz
	cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DTUNEBASE_FUZZ=ON
	cmake --build $(FUZZ_DIR) -j $(JOBS)
	./fuzz/run-fuzz.sh $(FUZZ_DIR) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

bench:
	./scripts/install-deps bench
	$(MAKE) build
	@for b in $(BUILD_DIR)/bench/bench_*; do echo "== $$b"; $$b || exit 1; done

install: build
	cmake --install $(BUILD_DIR)

package-deps:
	./scripts/install-deps package

# A Debian package of the programs and their files: $(BUILD_DIR)/tunebase_<version>_amd64.deb
package: package-deps build
	cd $(BUILD_DIR) && cpack -G DEB

# Pictures of the windows for the README, the manual and the AppStream file,
# taken under Xvfb on a generated collection: docs/screenshots/*.png
screenshots:
	./scripts/install-deps screenshots
	$(MAKE) build
	./scripts/screenshots.sh $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(FUZZ_DIR)

# Lumetta: `make run` builds and starts it under Wine; `make test` runs every test.
.PHONY: all deps build native fuzz bench gallery screenshots snapshots run stop test dist format format-check tidy log clean

BUILD := build
CTEST_JOBS ?= 2

all: build

deps:
	@tools/install-deps

build: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows

native: deps
	cmake --preset native >/dev/null
	cmake --build --preset native

fuzz: deps
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz

# Native benchmarks of the portable core, then a Sampler ticking the real platform under Wine.
bench: build
	cmake --preset bench >/dev/null
	cmake --build --preset bench --target lumetta_bench
	$(BUILD)/bench/lumetta_bench
	tools/wine-run $(BUILD)/windows/sampler_bench.exe
	tools/cost-bench

gallery: build
	tools/wine-run $(BUILD)/windows/gallery.exe "$$(pwd)/docs/gallery.png"
	@echo "docs/gallery.png"

screenshots: build
	tools/screenshots

snapshots: build
	tools/wine-run $(BUILD)/windows/snapshots.exe 10

run: build
	tools/run-lumetta

stop:
	tools/wine-stop

# One CTest tree over every build, so that labels select across them and one summary closes.
test: build native fuzz
	printf 'subdirs("native")\nsubdirs("fuzz")\nsubdirs("windows")\n' > $(BUILD)/CTestTestfile.cmake
	cd $(BUILD) && ctest --output-on-failure -j$(CTEST_JOBS)

# The release in dist/: the zip, the per-user installer, SHA256SUMS and the update feed
# (tools/make-dist). DIST_URL is the page the feed sends users to; DIST_MINIMUM_VERSION the
# oldest version that may go on without updating. SIGN_CERT and SIGN_KEY (PEM files), when
# given, sign lumetta.exe, the uninstaller and the installer with Authenticode.
DIST_URL ?= https://norvale.com/lumetta
DIST_MINIMUM_VERSION ?= 0.0.0
dist: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows --target lumetta
	rm -rf dist
	tools/make-dist dist --url '$(DIST_URL)' --minimum '$(DIST_MINIMUM_VERSION)' \
	  $(if $(SIGN_CERT)$(SIGN_KEY),--sign-cert '$(SIGN_CERT)' --sign-key '$(SIGN_KEY)')

format: deps
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check: deps
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

# clang-tidy over the native, fuzz and Windows builds' compile commands (configure only).
tidy: deps
	tools/tidy

log:
	@cat "$(BUILD)/wineprefix/drive_c/users/$$(id -un)/AppData/Local/Lumetta/Logs/app.log"

clean:
	tools/wine-stop
	rm -rf $(BUILD)

# Lumetta: `make run` builds and starts it under Wine; `make test` runs every test.
.PHONY: all deps build native fuzz bench gallery screenshots snapshots run stop test format format-check log clean

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

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

log:
	@cat "$(BUILD)/wineprefix/drive_c/users/$$(id -un)/AppData/Local/Lumetta/Logs/app.log"

clean:
	tools/wine-stop
	rm -rf $(BUILD)

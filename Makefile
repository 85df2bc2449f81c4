# Zorvan: every target installs what is missing first (Debian packages only).
SHELL := /bin/bash
JOBS ?= $(shell nproc)
NATIVE := build/native
WIN := build/win
CMAKE_GEN := -G Ninja

.PHONY: deps configure build native win run test test-native test-win bench test-asan test-tsan \
        fuzz fuzz-build fuzz-seeds dist format format-check screenshots clean install uninstall

deps:
	@scripts/install-deps

$(NATIVE)/build.ninja: | deps
	@cmake -S . -B $(NATIVE) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

$(WIN)/build.ninja: | deps
	@cmake -S . -B $(WIN) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake >/dev/null

native: deps $(NATIVE)/build.ninja
	@cmake --build $(NATIVE) -j $(JOBS)

win: deps $(WIN)/build.ninja
	@cmake --build $(WIN) -j $(JOBS)

build: native win

run: deps win
	@scripts/run-app

test: deps build
	@scripts/run-tests

bench: deps native
	@$(NATIVE)/zorvan_bench --benchmark_min_time=0.05 $(BENCH_ARGS)

test-asan: deps
	@cmake -S . -B build/asan $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DZV_SANITIZE=address -DZV_BENCH=OFF >/dev/null
	@cmake --build build/asan -j $(JOBS)
	@cd build/asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure

test-tsan: deps
	@cmake -S . -B build/tsan $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZV_SANITIZE=thread -DZV_BENCH=OFF >/dev/null
	@cmake --build build/tsan -j $(JOBS)
	@cd build/tsan && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure

FUZZ_SECONDS ?= 20
FUZZ_ONLY ?=
fuzz-build: deps
	@CC=clang CXX=clang++ cmake -S . -B build/fuzz $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZV_FUZZ=ON >/dev/null
	@cmake --build build/fuzz -j $(JOBS)

fuzz: fuzz-build
	@scripts/run-fuzz build/fuzz $(FUZZ_SECONDS) $(FUZZ_ONLY)

# The fuzz targets' starting inputs, written again by the program's own writers.
fuzz-seeds: fuzz-build
	@build/fuzz/zv_fuzz_seeds tests/fuzz/corpus

dist: deps win
	@scripts/make-dist $(WIN)

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

format-check: deps
	@clang-format --dry-run -Werror $$(git ls-files '*.cpp' '*.h') && echo "format-check: clean"

clean:
	rm -rf build dist

# The command line on Linux as `make build` left it (nothing is built or fetched here): the
# program, stripped; its data (cfg.ini and the texts, which it finds in ../share/zorvan); the udev
# rule for the receivers; the man page; the bash, zsh and fish completions; the licence.
#   make install [PREFIX=/usr/local] [DESTDIR=/staging]      make uninstall (the same variables)
PREFIX ?= /usr/local
UDEVRULESDIR ?= $(if $(filter /usr,$(PREFIX)),/usr/lib/udev/rules.d,/etc/udev/rules.d)
STRIP ?= strip
INSTALLED := bin/zorvan share/zorvan share/man/man1/zorvan.1 \
  share/bash-completion/completions/zorvan share/zsh/site-functions/_zorvan \
  share/fish/vendor_completions.d/zorvan.fish share/doc/zorvan
install:
	@[ -x $(NATIVE)/zorvan ] || { echo "make install: $(NATIVE)/zorvan is not built; run make native (or make build) first" >&2; exit 1; }
	install -Dm755 --strip --strip-program=$(STRIP) $(NATIVE)/zorvan $(DESTDIR)$(PREFIX)/bin/zorvan
	install -Dm644 data/cfg.ini $(DESTDIR)$(PREFIX)/share/zorvan/cfg.ini
	install -Dm644 data/text.xml $(DESTDIR)$(PREFIX)/share/zorvan/text.xml
	for d in data/*/; do [ -f "$$d/text.xml" ] && install -Dm644 "$$d/text.xml" \
	  "$(DESTDIR)$(PREFIX)/share/zorvan/$$(basename "$$d")/text.xml"; done; true
	install -Dm644 packaging/linux/70-zorvan.rules $(DESTDIR)$(UDEVRULESDIR)/70-zorvan.rules
	install -Dm644 packaging/linux/zorvan.1 $(DESTDIR)$(PREFIX)/share/man/man1/zorvan.1
	install -Dm644 packaging/linux/zorvan.bash-completion \
	  $(DESTDIR)$(PREFIX)/share/bash-completion/completions/zorvan
	install -Dm644 packaging/linux/zorvan.zsh-completion \
	  $(DESTDIR)$(PREFIX)/share/zsh/site-functions/_zorvan
	install -Dm644 packaging/linux/zorvan.fish \
	  $(DESTDIR)$(PREFIX)/share/fish/vendor_completions.d/zorvan.fish
	install -Dm644 LICENSE $(DESTDIR)$(PREFIX)/share/doc/zorvan/LICENSE

uninstall:
	rm -rf $(addprefix $(DESTDIR)$(PREFIX)/,$(INSTALLED))
	rm -f $(DESTDIR)$(UDEVRULESDIR)/70-zorvan.rules

# Refreshes docs/screenshots/*.png: the control gallery shows every skinned control over the
# skins and saves one picture per state; the real program with the virtual mouse gives every page
# with each mouse of the catalogue, the about window, and the same on a 3840x2160 screen; the
# DPI overlay, the tray tooltip and the linked-programs window in each language.
screenshots: deps win
	@mkdir -p docs/screenshots
	@scripts/run-wine $(WIN)/zorvan_gallery.exe "Z:$$(pwd | tr / '\\')\\docs\\screenshots"
	@tests/gui/screenshots docs/screenshots
	@ZV_GUI_SCREEN=3840x2160x24 tests/gui/screenshots docs/screenshots
	@tests/gui/glance_screenshots docs/screenshots

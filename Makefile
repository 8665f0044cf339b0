# WL Reader — the two everyday commands are `make run` and `make test`.
# Both install whatever Debian packages are missing, configure and build.

BUILD_DIR ?= build
TSAN_DIR  ?= build-tsan
FUZZ_DIR  ?= build-fuzz
ASAN_DIR  ?= build-asan
CMAKE_ARGS ?=
JOBS ?= $(shell nproc)

PACKAGES := cmake ninja-build g++ pkg-config make python3 \
            qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools \
            libplist-dev libsqlite3-dev sqlite3 libicu-dev libbenchmark-dev \
            zlib1g-dev libxml2-dev scdoc \
            qt6-declarative-dev qt6-declarative-dev-tools qt6-qpa-plugins \
            qml6-module-qtquick qml6-module-qtquick-controls qml6-module-qtquick-layouts \
            qml6-module-qtquick-window qml6-module-qtquick-templates qml6-module-qtqml-workerscript \
            qt6-webengine-dev qml6-module-qtwebengine qt6-webchannel-dev qml6-module-qtwebchannel \
            qt6-multimedia-dev qml6-module-qtmultimedia libsndfile1-dev fonts-dejavu-core \
            qml6-module-qtquick-dialogs qml6-module-qt-labs-folderlistmodel qt6-xdgdesktopportal-platformtheme \
            qml6-module-qtqml qml6-module-qtqml-models \
            dpkg-dev desktop-file-utils appstream \
            xvfb dbus at-spi2-core python3-pyatspi

.PHONY: all deps configure build run test test-tsan test-asan fuzz bench dictionaries package clean

all: build

# $(call install-missing,PACKAGES): installs the Debian packages that are
# missing when run as root; otherwise prints the command and stops.
define install-missing
	@missing=""; \
	for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:$$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; \
	  else \
	    echo "Missing packages. Run as root:"; \
	    echo "  apt-get install -y --no-install-recommends$$missing"; \
	    exit 1; \
	  fi; \
	fi
endef

deps:
	$(call install-missing,$(PACKAGES))

$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_ARGS)

configure: deps $(BUILD_DIR)/build.ninja

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# The reader on the demo dictionary. Without a display it runs offscreen
# instead and saves a picture of each tab under $(BUILD_DIR)/screenshots.
run: build
	@if [ -n "$$DISPLAY" ] || [ -n "$$WAYLAND_DISPLAY" ]; then \
	  $(BUILD_DIR)/src/app/wlreader; \
	else \
	  echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): running the reader offscreen."; \
	  echo "Pictures of its tabs:"; \
	  QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/src/app/wlreader --screenshots $(BUILD_DIR)/screenshots; \
	fi

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# The whole suite under ThreadSanitizer, in a build directory of its own.
# QProcess may start its child with vfork, which ThreadSanitizer takes for a
# fork of the whole test process: die_after_fork=0 lets the test go on.
test-tsan: deps
	cmake -S . -B $(TSAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DWL_SANITIZE=thread -DWL_BUILD_BENCHMARKS=OFF $(CMAKE_ARGS)
	cmake --build $(TSAN_DIR) -j $(JOBS)
	cd $(TSAN_DIR) && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 die_after_fork=0" ctest --output-on-failure -j $(JOBS)

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer (with
# out-of-range float-to-integer conversions, which GCC's "undefined" leaves
# out, and the standard library's bounds checks). The options are exported for
# the build too, since it runs wldict to compile the demo; the tests' child
# processes inherit them.
ASAN_ENV := ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:abort_on_error=1:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1:strict_init_order=1" \
            UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

test-asan: deps
	cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1 -D_GLIBCXX_ASSERTIONS" -DWL_SANITIZE=address,undefined,float-cast-overflow -DWL_BUILD_BENCHMARKS=OFF $(CMAKE_ARGS)
	$(ASAN_ENV) cmake --build $(ASAN_DIR) -j $(JOBS)
	cd $(ASAN_DIR) && $(ASAN_ENV) ctest --output-on-failure -j $(JOBS)

# libFuzzer targets (fuzz/) built with clang in a directory of their own;
# each runs FUZZ_SECONDS on a working copy of its seed corpus under
# $(FUZZ_DIR)/corpus, saving crashing inputs in $(FUZZ_DIR)/artifacts/TARGET
# and its output in $(FUZZ_DIR)/logs/TARGET.log. One target:
# `make fuzz-colour` or `make fuzz FUZZ_TARGETS=fuzz_colour`.
FUZZ_PACKAGES := clang libclang-rt-14-dev llvm
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?= fuzz_description fuzz_decrypt fuzz_contents_ids fuzz_colour \
                fuzz_search fuzz_media_refs fuzz_dictd fuzz_defaults fuzz_stardict
FUZZ_ABS = $(abspath $(FUZZ_DIR))

fuzz:
	$(call install-missing,$(PACKAGES) $(FUZZ_PACKAGES))
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja -DWL_FUZZ=ON -DWL_BUILD_APP=OFF -DWL_BUILD_TESTS=OFF -DWL_BUILD_BENCHMARKS=OFF $(CMAKE_ARGS)
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target $(FUZZ_TARGETS)
	@failed=""; \
	for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_ABS)/corpus/$$t $(FUZZ_ABS)/artifacts/$$t $(FUZZ_ABS)/tmp/$$t $(FUZZ_ABS)/logs; \
	  cp fuzz/corpus/$$t/* $(FUZZ_ABS)/corpus/$$t/; \
	  dict=""; [ -f fuzz/$$t.dict ] && dict="-dict=$(CURDIR)/fuzz/$$t.dict"; \
	  echo "== $$t ($(FUZZ_SECONDS) s)"; \
	  if TMPDIR=$(FUZZ_ABS)/tmp/$$t \
	     LSAN_OPTIONS="suppressions=$(CURDIR)/fuzz/lsan.supp:print_suppressions=0" \
	     UBSAN_OPTIONS="print_stacktrace=1" \
	     $(FUZZ_ABS)/fuzz/$$t $(FUZZ_ABS)/corpus/$$t $$dict \
	       -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 \
	       -close_fd_mask=2 -print_final_stats=1 \
	       -artifact_prefix=$(FUZZ_ABS)/artifacts/$$t/ > $(FUZZ_ABS)/logs/$$t.log 2>&1; then \
	    grep -E "^(Done|stat::number_of_executed_units|stat::average_exec_per_sec)" $(FUZZ_ABS)/logs/$$t.log; \
	  else \
	    tail -n 40 $(FUZZ_ABS)/logs/$$t.log; failed="$$failed $$t"; \
	  fi; \
	done; \
	if [ -n "$$failed" ]; then echo "Findings in:$$failed (see $(FUZZ_DIR)/artifacts)"; exit 1; fi

fuzz-%:
	$(MAKE) fuzz FUZZ_TARGETS=fuzz_$*

# A Debian package of the reader in $(BUILD_DIR): apt install ./$(BUILD_DIR)/wlreader_*.deb
package: build
	cd $(BUILD_DIR) && cpack
	@ls $(BUILD_DIR)/wlreader_*.deb

bench: build
	@echo "Benchmarks are in $(BUILD_DIR)/bench; see docs/PERFORMANCE.md for how they are run."

# Real dictionaries from Debian's dictd packages, built into bundles under
# $(BUILD_DIR)/dictionaries (not part of the tests): wn, gcide, deu-eng.
DICT_PACKAGES := dict-wn dict-gcide dict-freedict-deu-eng
DICTD_DIR ?= /usr/share/dictd
WLDICT = $(BUILD_DIR)/src/cli/wldict
DICT_NAMES := wn gcide deu-eng

dictionaries: build
	$(call install-missing,$(DICT_PACKAGES))
	$(WLDICT) build --from-dictd --language en $(DICTD_DIR)/wn.index $(DICTD_DIR)/wn.dict.dz $(BUILD_DIR)/dictionaries/wn
	$(WLDICT) build --from-dictd --language en $(DICTD_DIR)/gcide.index $(DICTD_DIR)/gcide.dict.dz $(BUILD_DIR)/dictionaries/gcide
	$(WLDICT) build --from-dictd --language de $(DICTD_DIR)/freedict-deu-eng.index $(DICTD_DIR)/freedict-deu-eng.dict.dz $(BUILD_DIR)/dictionaries/deu-eng
	@echo "Built: $(foreach d,$(DICT_NAMES),$(BUILD_DIR)/dictionaries/$(d))"
	@if [ -t 0 ]; then \
	  printf "Install them for this user, so wlreader --dictionary wn (gcide, deu-eng) finds them? [y/N] "; \
	  read answer; \
	  case "$$answer" in [yY]*) \
	    for d in $(DICT_NAMES); do $(WLDICT) install --force $(BUILD_DIR)/dictionaries/$$d || exit 1; done ;; \
	  esac; \
	else \
	  echo "To install them for this user:"; \
	  for d in $(DICT_NAMES); do echo "  $(WLDICT) install $(BUILD_DIR)/dictionaries/$$d"; done; \
	fi

clean:
	rm -rf $(BUILD_DIR) $(TSAN_DIR) $(FUZZ_DIR) $(ASAN_DIR)

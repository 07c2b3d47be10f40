# Orvanter: `make run` builds the program and starts it under Wine; `make test` builds everything
# and runs every test. Both install what this machine is missing first (Debian packages, as root).

BUILD   ?= build
JOBS    ?= 2
NATIVE  := $(BUILD)/native
TSAN    := $(BUILD)/tsan
WINDOWS := $(BUILD)/windows
BENCH   := $(BUILD)/bench
PROGRAM := $(BUILD)/Orvanter
# The version is set once, in CMakeLists.txt.
VERSION := $(shell sed -n 's/^project.Orvanter VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

PACKAGES := cmake make g++ libgtest-dev googletest libbenchmark-dev \
            g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
            wine wine64 xvfb xauth xdotool imagemagick ripgrep fonts-dejavu-core nsis locales \
            python3 python3-yaml

.PHONY: all deps native tsan windows program package test run bench clean

all: program

deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  sudo=""; [ "$$(id -u)" = 0 ] || sudo=sudo; \
	  $$sudo apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $$sudo apt-get install -y -qq --no-install-recommends $$missing; \
	fi
# The fault tests run Wine under a Russian locale (ANSI code page 1251); without the generated
# locale Wine would take file names as ASCII and refuse every Cyrillic or Greek one.
	@locale -a 2>/dev/null | grep -qix 'ru_RU.utf8' || { \
	  sudo=""; [ "$$(id -u)" = 0 ] || sudo=sudo; \
	  $$sudo localedef -i ru_RU -f UTF-8 ru_RU.UTF-8; \
	}

# The core with AddressSanitizer and UndefinedBehaviorSanitizer.
native: deps
	cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug -DORV_SANITIZE=address,undefined >/dev/null
	cmake --build $(NATIVE) -j $(JOBS)

# The core again with ThreadSanitizer.
tsan: deps
	cmake -S . -B $(TSAN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORV_SANITIZE=thread >/dev/null
	cmake --build $(TSAN) -j $(JOBS)

# Orvanter.exe and the Windows tests, cross-compiled.
windows: deps
	cmake -S . -B $(WINDOWS) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(WINDOWS) -j $(JOBS)

# The program's folder: Orvanter.exe, Bat\ with a sample batch file and the help files.
program: windows
	@mkdir -p $(PROGRAM)/Bat
	cp $(WINDOWS)/app/Orvanter.exe $(PROGRAM)/
	cp resources/Help_e.txt resources/Help_r.txt $(PROGRAM)/
	cp resources/Bat/*.bat $(PROGRAM)/Bat/

# What a Windows user downloads: Orvanter-VERSION-setup.exe and Orvanter-VERSION-portable.zip, made by
# the Windows build (the version is the project's, in CMakeLists.txt), with SHA256SUMS beside them and
# the winget and Scoop manifests, copied into the build folder.
package: windows
	@for f in Orvanter-$(VERSION)-setup.exe Orvanter-$(VERSION)-portable.zip SHA256SUMS; do \
	  cp $(WINDOWS)/$$f $(BUILD)/ && echo "$(BUILD)/$$f" || exit 1; \
	done
	@rm -rf $(BUILD)/winget $(BUILD)/scoop
	@for d in winget scoop; do \
	  cp -r $(WINDOWS)/$$d $(BUILD)/ && ls $(BUILD)/$$d/* || exit 1; \
	done

# One CTest run over the three builds, so that its summary closes the output.
test: native tsan windows
	@printf 'subdirs("native")\nsubdirs("tsan")\nsubdirs("windows")\n' > $(BUILD)/CTestTestfile.cmake
	cd $(BUILD) && ctest -j $(JOBS) --output-on-failure

run: program
	@sh tools/run-program.sh $(PROGRAM) $(BUILD)

# The checks' hot paths natively, then the running program against its anchor under Wine.
bench: deps windows
	cmake -S . -B $(BENCH) -DCMAKE_BUILD_TYPE=Release -DORV_BUILD_TESTS=OFF -DORV_BUILD_BENCH=ON >/dev/null
	cmake --build $(BENCH) -j $(JOBS)
	sh bench/run.sh $(BENCH)
	sh bench/app.sh $(WINDOWS) $(BENCH)

clean:
	rm -rf $(BUILD)

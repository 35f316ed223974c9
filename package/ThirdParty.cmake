# The third-party parts that zxvto38r.dll may carry, and the terms each comes under: the list
# of what THIRD-PARTY-NOTICES.txt covers. One entry per kind of linked file:
# "regular expression for its name (as the link map gives it) | component | SPDX licence".
# A file the linker takes in that no entry names is left out of the notices, and the package
# test fails: add it here, with its terms, and to the licence sections of both READMEs.
# The GCC runtime comes under the GPL with the GCC Runtime Library Exception, which lets the
# DLL go out under any terms; the MinGW-w64 parts ask for their notice in every copy.
set(ZEK_THIRD_PARTY
    "^libstdc\\+\\+\\.a$ | GNU C++ library (libstdc++) | GPL-3.0-or-later WITH GCC-exception-3.1"
    "^libgcc\\.a$ | GCC low-level runtime (libgcc) | GPL-3.0-or-later WITH GCC-exception-3.1"
    "^libgcc_eh\\.a$ | GCC exception unwinder (libgcc_eh) | GPL-3.0-or-later WITH GCC-exception-3.1"
    "^crt(begin|end)\\.o$ | GCC start-up objects (crtbegin.o, crtend.o) | GPL-3.0-or-later WITH GCC-exception-3.1"
    "^(dllcrt2\\.o|libmingw32\\.a)$ | MinGW-w64 DLL start-up code (dllcrt2.o, libmingw32) | LicenseRef-public-domain"
    "^lib(mingwex|msvcrt)\\.a$ | MinGW-w64 C runtime support (libmingwex, libmsvcrt) | ZPL-2.1"
    "^libpthread\\.a$ | MinGW-w64 threads library (winpthreads) | MIT AND BSD-3-Clause"
    "^lib(advapi32|kernel32|ole32|user32|version)\\.a$ | MinGW-w64 import libraries of Windows system DLLs | ZPL-2.1")
# Licence texts that the Debian copyright files refer to rather than carry.
set(ZEK_THIRD_PARTY_TEXTS "GPL-3.0 | /usr/share/common-licenses/GPL-3")

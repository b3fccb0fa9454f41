# The smallest 32-bit x86 Linux program: it asks the kernel for its machine name through the
# 32-bit system call gate and ends with 0 when it runs natively on a 64-bit kernel ("x86_64"),
# 3 when something else answered (an emulator such as qemu-i386 reports "i686"), 4 when the call
# itself failed. A kernel that runs no 32-bit code refuses to start it at all (ENOEXEC).
        .code32
        .globl _start
        .text
_start:
        movl    $122, %eax              # newuname
        movl    $uts, %ebx
        int     $0x80
        movl    $4, %ebx
        testl   %eax, %eax
        jnz     done
        movl    $3, %ebx
        cmpl    $0x5f363878, uts+260    # "x86_" at the start of the machine field
        jne     done
        cmpw    $0x3436, uts+264        # "64"
        jne     done
        xorl    %ebx, %ebx
done:
        movl    $1, %eax                # exit
        int     $0x80

        .bss
uts:    .space  390                     # struct new_utsname: six fields of 65 bytes

BEGIN {
    even = 0; odd = 0; kind = ""
    for (i = 1; i <= 300000; i++) {
        rest = i % 2
        if (rest == 0) even += 1
        if (rest != 0) odd += 1
        if (rest == 0)
            kind = "par"
        else
            kind = "impar"
    }
    print even, odd, kind
}

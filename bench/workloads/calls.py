def count(n):
    return n + 1


def main():
    n = 0
    for i in range(100000):
        n = count(n)
    print(n)


main()

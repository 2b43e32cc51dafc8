def main():
    total = 0
    for i in range(1, 1000001):
        total += 1
    print(total)


main()
